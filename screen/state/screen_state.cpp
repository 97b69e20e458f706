#include "screen/state/screen_state.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace zopp {

namespace {

std::mutex screenMutex;
std::atomic<std::thread::id> lockOwner{};
int lockCount = 0;                      // touched only by the owner
ScreenState* presentPending = nullptr;  // marked dirty under the current hold; guarded by screenMutex
std::unique_ptr<ScreenState> openScreenState;
std::atomic<ScreenWatcher*> openScreenWatcher{nullptr};

}  // namespace

ScreenState* currentScreen() {
    return openScreenState.get();
}

void setCurrentScreen(std::unique_ptr<ScreenState> screen) {
    openScreenState = std::move(screen);
}

std::unique_ptr<ScreenState> takeCurrentScreen() {
    return std::move(openScreenState);
}

void setScreenWatcher(ScreenWatcher* watcher) {
    openScreenWatcher.store(watcher, std::memory_order_release);
}

void paletteChanged(ScreenState&) {
    if (ScreenWatcher* watcher = openScreenWatcher.load(std::memory_order_acquire)) watcher->paletteChanged();
}

void lockScreen() {
    const auto self = std::this_thread::get_id();
    if (lockOwner.load(std::memory_order_relaxed) == self) {
        ++lockCount;
        return;
    }
    screenMutex.lock();
    lockOwner.store(self, std::memory_order_relaxed);
    lockCount = 1;
}

void unlockScreen() {
    if (--lockCount == 0) {
        ScreenWatcher* watcher = presentPending && presentPending == openScreenState.get()
                                     ? openScreenWatcher.load(std::memory_order_acquire)
                                     : nullptr;
        presentPending = nullptr;
        lockOwner.store(std::thread::id{}, std::memory_order_relaxed);
        screenMutex.unlock();
        // Outside the lock, so the woken refresh loop finds it free.
        if (watcher) watcher->linesChanged();
    }
}

int screenLockDepth() {
    return lockOwner.load(std::memory_order_relaxed) == std::this_thread::get_id() ? lockCount : 0;
}

void releaseScreenLockCompletely() {
    while (screenLockDepth() > 0)
        unlockScreen();
}

void markDirty(ScreenState& screen, std::int32_t first, std::int32_t last) {
    first = std::max(first, 0);
    last = std::min(last, screen.height - 1);
    if (first > last) return;
    std::memset(screen.dirty.data() + first, 1,
                static_cast<std::size_t>(last) - static_cast<std::size_t>(first) + 1);
    if (screenLockDepth() > 0) presentPending = &screen;
}

void markAllDirty(ScreenState& screen) {
    markDirty(screen, 0, screen.height - 1);
}

std::size_t takeDirtySpans(ScreenState& screen, std::span<LineSpan> spans, std::int32_t mergeGap) {
    if (spans.empty()) return 0;
    std::uint8_t* dirty = screen.dirty.data();
    const std::int32_t height = screen.height;
    std::size_t count = 0;
    std::int32_t y = 0;
    while (y < height) {
        const void* found = std::memchr(dirty + y, 1, static_cast<std::size_t>(height - y));
        if (!found) break;
        const auto first = static_cast<std::int32_t>(static_cast<const std::uint8_t*>(found) - dirty);
        std::int32_t last = first;
        while (last + 1 < height && dirty[last + 1])
            ++last;
        // Close runs, and every run once the spans are used up, extend the previous span.
        if (count > 0 && (first - spans[count - 1].last <= mergeGap || count == spans.size())) {
            spans[count - 1].last = last;
        } else {
            spans[count++] = LineSpan{first, last};
        }
        y = last + 1;
    }
    if (count > 0) {
        std::memset(
            dirty + spans[0].first, 0,
            static_cast<std::size_t>(spans[count - 1].last) - static_cast<std::size_t>(spans[0].first) + 1);
    }
    return count;
}

}  // namespace zopp
