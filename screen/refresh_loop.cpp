#include "screen/refresh_loop.h"

#include <algorithm>
#include <array>

#include "frame/runtime.h"
#include "frame/thread_signals.h"
#include "screen/screen_state.h"

namespace zopp {

RefreshLoop::RefreshLoop(ScreenState& screen, std::unique_ptr<Backend> backend)
    : screen_(screen), backend_(std::move(backend)), translator_(*this) {}

RefreshLoop::~RefreshLoop() {
    stop();
}

bool RefreshLoop::start(std::int32_t refreshRate, std::string_view title) {
    if (backend_->loopHost() == LoopHost::PlatformCallbacks) {
        ScreenLock lock;
        windowOpen_ = createWindow(refreshRate, title);
        return windowOpen_;
    }
    std::promise<bool> started;
    auto result = started.get_future();
    thread_ = std::thread(&RefreshLoop::run, this, refreshRate, std::string(title), &started);
    if (result.get()) return true;
    thread_.join();
    return false;
}

void RefreshLoop::stop() {
    if (!thread_.joinable()) {
        if (windowOpen_) {  // a callback host: the window lives on this thread
            ScreenLock lock;
            destroyWindow();
        }
        return;
    }
    if (thread_.get_id() == std::this_thread::get_id()) {
        // The refresh thread cannot join itself: keep everything alive for it.
        abandoned_ = true;
        return;
    }
    if (isParkedByExit(thread_.get_id())) {
        // It will never run again and may hold the screen lock: leave it alone.
        thread_.detach();
        abandoned_ = true;
        return;
    }
    stopping_ = true;
    backend_->wake();
    thread_.join();
}

void RefreshLoop::run(std::int32_t refreshRate, std::string title, std::promise<bool>* started) {
    forbidExitOnCurrentThread();
    blockExternalSignalsOnCurrentThread();
    bool ok;
    {
        ScreenLock lock;
        ok = createWindow(refreshRate, title);
    }
    started->set_value(ok);  // `started` dies with start() from here on
    if (!ok) return;

    // A cycle every refresh period at the latest, earlier when drawing or input wakes the thread.
    auto next = std::chrono::steady_clock::now() + refreshPeriod;
    while (!stopping_.load()) {
        const auto left = next - std::chrono::steady_clock::now();
        if (left > std::chrono::steady_clock::duration::zero())
            backend_->waitForInput(std::chrono::duration_cast<std::chrono::nanoseconds>(left));
        // Cleared before the lock is taken: a drawing that ends after this wakes the next cycle.
        wakeRequested_.store(false);
        const auto now = std::chrono::steady_clock::now();
        if (now >= next) next = std::max(next + refreshPeriod, now);  // after a stall, do not catch up
        cycle();
    }
    ScreenLock lock;
    destroyWindow();
}

bool RefreshLoop::createWindow(std::int32_t refreshRate, std::string_view title) {
    if (backend_->createWindow(screen_, refreshRate, title, translator_)) return true;
    backend_->destroyWindow();
    return false;
}

void RefreshLoop::destroyWindow() {
    backend_->destroyWindow();
    windowOpen_ = false;
}

void RefreshLoop::stepFromCallbacks() {
    if (backend_->loopHost() != LoopHost::PlatformCallbacks) return;
    wakeRequested_.store(false);
    cycle();
}

void RefreshLoop::cycle() {
    ScreenLock lock;
    if (titleChanged_.load()) {
        std::string title;
        {
            std::lock_guard hold(titleMutex_);
            title = pendingTitle_;
            titleChanged_ = false;
        }
        backend_->setTitle(title);
    }
    if (paletteChanged_.exchange(false)) {
        backend_->setPalette(screen_.palette);
        markAllDirty(screen_);
    }
    std::array<LineSpan, maxPresentSpans> spans;
    if (const std::size_t count = takeDirtySpans(screen_, spans); count > 0) {
        const auto began = std::chrono::steady_clock::now();
        backend_->present(std::span<const LineSpan>(spans.data(), count));
        screen_.lastTransferNanoseconds =
            std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - began)
                .count();
    }
    backend_->pumpInput(translator_);
}

void RefreshLoop::wake() {
    if (wakeRequested_.exchange(true)) return;
    backend_->wake();
}

void RefreshLoop::setTitle(std::string_view title) {
    std::lock_guard hold(titleMutex_);
    pendingTitle_ = std::string(title);
    titleChanged_ = true;
}

void RefreshLoop::paletteChanged() {
    paletteChanged_ = true;
}

// Activation changed: repaint the whole window (the translator clears the key-state table itself).
void RefreshLoop::activationReset() {
    markAllDirty(screen_);
}

void refreshStep() {
    if (ScreenState* screen = currentScreen(); screen && screen->refresh)
        screen->refresh->stepFromCallbacks();
}

}  // namespace zopp
