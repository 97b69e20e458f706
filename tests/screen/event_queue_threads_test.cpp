// The queue between the refresh thread and the program: an empty poll takes no lock, so it must still
// never lose, repeat or reorder an event posted concurrently.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "frame/events.h"

namespace zopp {
namespace {

TEST(EventQueueThreads, EveryEventPostedByAnotherThreadArrivesOnceInOrder) {
    openEventQueue();
    constexpr int count = 20000;
    constexpr int ringRoom = 100;  // fewer than the ring's 127, so nothing may be dropped
    std::atomic<int> taken{0};
    std::thread producer([&] {
        for (int i = 0; i < count; ++i) {
            while (i - taken.load() >= ringRoom)
                std::this_thread::yield();
            postEvent(ScreenEvent{PointerMove, i, 0, 0, 0});
        }
    });
    int expected = 0;
    ScreenEvent event{};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (expected < count && std::chrono::steady_clock::now() < deadline) {
        if (pollEvent(&event) == 0) continue;
        ASSERT_EQ(event.x, expected) << "lost, repeated or out of order";
        taken = ++expected;
    }
    producer.join();
    EXPECT_EQ(expected, count);
    EXPECT_EQ(pollEvent(&event), 0);
    closeEventQueue();
}

TEST(EventQueueThreads, AFullRingStillReportsItsEvents) {
    openEventQueue();
    for (int i = 0; i < 300; ++i)
        postEvent(ScreenEvent{PointerMove, i, 0, 0, 0});
    ScreenEvent event{};
    int taken = 0;
    while (pollEvent(&event) != 0)
        ++taken;
    EXPECT_EQ(taken, 127);
    EXPECT_EQ(event.x, 299);
    postEvent(ScreenEvent{ButtonUp, 1, 0, 0, 0});
    EXPECT_EQ(pollEvent(&event), -1);
    EXPECT_EQ(event.type, ButtonUp);
    closeEventQueue();
}

}  // namespace
}  // namespace zopp
