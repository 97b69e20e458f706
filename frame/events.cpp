#include "frame/events.h"

#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

#include "frame/platform/change_wait.h"

namespace zopp {

namespace {

// One slot always stays free so that head == tail means empty: at most 127 events wait.
constexpr std::size_t kQueueSlots = 128;

struct EventQueue {
    std::array<ScreenEvent, kQueueSlots> slots{};
    std::size_t head = 0;  // oldest event, next to be taken
    std::size_t tail = 0;  // next free slot
};

// A single permit guards both the ring and its existence; it is held only for one copy and an index.
// A mutex, not std::binary_semaphore: the latter, in the standard library this builds with, can put a
// waiter to sleep for good while the permit is free (a lost wake-up under contention).
std::mutex queueLock;
std::unique_ptr<EventQueue> queue;
// Events waiting, written under queueLock: an empty poll, the program's usual case, then takes no lock
// at all. An event posted just after the check is taken by the next poll.
std::atomic<std::size_t> waiting{0};
// Advanced under queueLock by every post and by the closing; the idle wait sleeps on it. A change made
// after the waiter's look at the queue comes after its read of this count, so the wake cannot be lost.
std::atomic<std::uint32_t> queueChanges{0};
// Set by wakeIdleProgram under queueLock; the next wait for an event takes it and ends.
bool wokenWithoutEvent = false;

// What the latest poll did, until the sleep that reads it. Only the program's thread polls and sleeps, so
// the order of its own calls is all that matters.
std::atomic<PollMark> pollMark{PollMark::Unmarked};

class QueueHold {
  public:
    QueueHold() { queueLock.lock(); }
    ~QueueHold() { queueLock.unlock(); }
    QueueHold(const QueueHold&) = delete;
    QueueHold& operator=(const QueueHold&) = delete;
};

}  // namespace

void openEventQueue() {
    auto fresh = std::make_unique<EventQueue>();
    QueueHold hold;
    queue = std::move(fresh);
    waiting.store(0, std::memory_order_release);
}

void closeEventQueue() {
    std::unique_ptr<EventQueue> old;
    {
        QueueHold hold;
        old = std::move(queue);
        waiting.store(0, std::memory_order_release);
        queueChanges.fetch_add(1, std::memory_order_release);
    }
    platform::wakeChangeWaiters(queueChanges);
}

std::int32_t pollEvent(ScreenEvent* event) {
    pollMark.store(PollMark::FoundNothing, std::memory_order_relaxed);
    if (waiting.load(std::memory_order_acquire) == 0) return 0;
    QueueHold hold;
    if (!queue || queue->head == queue->tail) return 0;
    pollMark.store(event ? PollMark::TookEvent : PollMark::Unmarked, std::memory_order_relaxed);
    if (event) {
        *event = queue->slots[queue->head];
        queue->head = (queue->head + 1) % kQueueSlots;
        waiting.store(waiting.load(std::memory_order_relaxed) - 1, std::memory_order_release);
    }
    return -1;
}

void postEvent(const ScreenEvent& event) {
    {
        QueueHold hold;
        if (!queue) return;
        queue->slots[queue->tail] = event;
        queue->tail = (queue->tail + 1) % kQueueSlots;
        // A full ring drops its oldest event so the refresh loop never waits for the program.
        if (queue->tail == queue->head) {
            queue->head = (queue->head + 1) % kQueueSlots;
        } else {
            waiting.store(waiting.load(std::memory_order_relaxed) + 1, std::memory_order_release);
        }
        queueChanges.fetch_add(1, std::memory_order_release);
    }
    platform::wakeChangeWaiters(queueChanges);
}

void wakeIdleProgram() {
    {
        QueueHold hold;
        wokenWithoutEvent = true;
        queueChanges.fetch_add(1, std::memory_order_release);
    }
    platform::wakeChangeWaiters(queueChanges);
}

PollMark takePollMark() {
    return pollMark.exchange(PollMark::Unmarked, std::memory_order_relaxed);
}

bool waitWhileQueueEmpty() {
    for (;;) {
        const std::uint32_t seen = queueChanges.load(std::memory_order_acquire);
        {
            QueueHold hold;
            if (!queue) return false;
            if (queue->head != queue->tail) return true;
            if (wokenWithoutEvent) {
                wokenWithoutEvent = false;
                return true;
            }
        }
        platform::waitForChange(queueChanges, seen);
    }
}

bool waitForPostWithin(std::int32_t ms, bool waitingEndsIt) {
    const std::uint32_t seen = queueChanges.load(std::memory_order_acquire);
    {
        QueueHold hold;
        if (!queue) return false;
        if (waitingEndsIt && queue->head != queue->tail) return true;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (queueChanges.load(std::memory_order_acquire) == seen) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        platform::waitForChange(queueChanges, seen, static_cast<std::int32_t>(left.count()));
    }
    return true;
}

}  // namespace zopp
