#include "screen/window/refresh_loop.h"

#include <array>

#include "frame/platform/thread_signals.h"
#include "frame/runtime.h"
#include "frame/timing.h"
#include "screen/state/screen_state.h"
#include "screen/state/screen_values.h"

namespace zopp {

RefreshLoop::RefreshLoop(ScreenState& screen, std::unique_ptr<Backend> backend)
    : screen_(screen), backend_(std::move(backend)), translator_(*backend_, *this) {}

RefreshLoop::~RefreshLoop() {
    stop();
}

bool RefreshLoop::start(std::int32_t refreshRate, std::string_view title) {
    if (backend_->loopHost() == LoopHost::Stepped) {
        {
            ScreenLock lock;
            windowOpen_ = createWindow(refreshRate, title);
        }
        if (windowOpen_) {
            backend_->takeStep([this] { step(); });
            setBeforeSleepHook([](void* loop) { static_cast<RefreshLoop*>(loop)->step(); }, this);
        }
        return windowOpen_;
    }
    // Shared with the thread: the waiter may wake while set_value is still releasing the promise's state,
    // and must not free it under the setter (where a mutex guards the state, that is a write to freed
    // memory).
    auto started = std::make_shared<std::promise<bool>>();
    auto result = started->get_future();
    thread_ = std::thread(&RefreshLoop::run, this, refreshRate, std::string(title), started);
    if (result.get()) return true;
    thread_.join();
    return false;
}

void RefreshLoop::stop() {
    if (!thread_.joinable()) {
        if (windowOpen_) {  // the window lives on this thread
            setBeforeSleepHook(nullptr, nullptr);
            backend_->takeStep({});
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

void RefreshLoop::run(std::int32_t refreshRate, const std::string& title,
                      std::shared_ptr<std::promise<bool>> started) {
    forbidExitOnCurrentThread();
    platform::blockExternalSignalsOnCurrentThread();
    bool ok;
    {
        ScreenLock lock;
        ok = createWindow(refreshRate, title);
    }
    started->set_value(ok);
    started.reset();
    if (!ok) return;

    RefreshSchedule schedule(std::chrono::steady_clock::now());
    while (!stopping_.load()) {
        const auto limit = schedule.waitLimit(std::chrono::steady_clock::now());
        bool input = false;
        if (!limit) {
            input = backend_->waitForInput(std::nullopt);
        } else if (*limit > std::chrono::steady_clock::duration::zero()) {
            input = backend_->waitForInput(std::chrono::duration_cast<std::chrono::nanoseconds>(*limit));
        }
        // Cleared before the lock is taken: a drawing that ends after this wakes the next cycle.
        wakeRequested_.store(false);
        schedule.cycleBegins(std::chrono::steady_clock::now(), input);
        cycle();
    }
    ScreenLock lock;
    destroyWindow();
}

bool RefreshLoop::createWindow(std::int32_t refreshRate, std::string_view title) {
    if (!backend_->createWindow(screen_, refreshRate, title, translator_)) {
        backend_->destroyWindow();
        return false;
    }
    // The window is active as soon as it is shown, whatever the platform has said so far: the focus
    // events reach the queue before any input.
    translator_.activationChanged(true, false);
    setBeepSoundHook(backend_->soundOutput());
    return true;
}

void RefreshLoop::destroyWindow() {
    setBeepSoundHook(nullptr);
    backend_->destroyWindow();
    windowOpen_ = false;
}

void RefreshLoop::step() {
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
    // Lines are converted through the palette as they are presented.
    if (paletteChanged_.exchange(false)) markAllDirty(screen_);
    std::array<LineSpan, kMaxPresentSpans> spans;
    if (const std::size_t count = takeDirtySpans(screen_, spans); count > 0)
        present(std::span<const LineSpan>(spans.data(), count));
    backend_->pumpInput(translator_);
}

// The one walk of a frame's spans: each converted once to the presenter's layout and transferred at the
// loop's factor.
void RefreshLoop::present(std::span<const LineSpan> spans) {
    Presenter& presenter = backend_->presenter();
    lines_.setLayout(presenter.pixelLayout());
    lines_.forEachSpan(screen_, spans, [&](const ConvertedLines& rows) { presenter.transferRows(rows, k_); });
    presenter.finish();
    backend_->framePresented(k_);
}

void RefreshLoop::wake() {
    if (wakeRequested_.exchange(true)) return;
    backend_->wake();
}

void RefreshLoop::setTitle(std::string_view title) {
    {
        std::lock_guard hold(titleMutex_);
        pendingTitle_ = std::string(title);
        titleChanged_ = true;
    }
    wake();
}

void RefreshLoop::paletteChanged() {
    paletteChanged_ = true;
    wake();
}

// The translator clears the key-state table itself.
void RefreshLoop::activityChanged(bool active) {
    markAllDirty(screen_);
    if (screen_.flags & ScreenHighPriority) backend_->raisePriority(active);
}

// The factor follows the desktop's scale by the one rule (window_scale.h). A screen opened full screen
// keeps factor 1 for its window too, until the desktop's scale is reported.
void RefreshLoop::desktopScaleChanged(const DesktopScale& desktop) {
    windowScale_ = chooseWindowScale(desktop, screen_.width, screen_.height);
    applyScale();
}

void RefreshLoop::fullScreenChanged(bool fullScreen) {
    fullScreen_ = fullScreen;
    applyScale();
}

// Full screen is factor 1: the display mode has the screen's size. The translator divides positions by
// the same factor the rows are transferred at, and the next frame shows every line at it.
void RefreshLoop::applyScale() {
    k_ = fullScreen_ ? 1 : windowScale_;
    translator_.setScale(k_);
    backend_->resizeClient(screen_.width * k_, screen_.height * k_);
    markAllDirty(screen_);
}

// A paint request is dirty lines: every line the rows touch, shown by the next frame.
void RefreshLoop::areaExposed(std::int32_t top, std::int32_t bottom) {
    markDirty(screen_, top / k_, (bottom + k_ - 1) / k_ - 1);
}

// The window's size is fixed; where switching is allowed, Alt+Enter and maximising go to full screen and
// back.
void RefreshLoop::fullScreenSwitchRequested() {
    if (screen_.flags & ScreenNoSwitch) return;
    backend_->toggleFullScreen();
    markAllDirty(screen_);
}

}  // namespace zopp
