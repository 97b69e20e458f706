// The refresh loop, the same on every platform: it drives one back-end for one open screen. Each cycle,
// under the screen lock, it applies a new title, transfers the changed lines of the visible page, and
// turns the window's pending notifications into events. A cycle runs at once when drawing,
// input or a new title or palette wakes it, and otherwise only as screen/window/refresh_schedule.h says:
// every refresh period (10 ms) while the window settles after input, and not at all while nothing happens.
// What a cycle marks itself (a repaint after an expose or an activation) wakes the next cycle as drawing
// does, when the cycle releases the lock. It also carries out what the window's notifications mean for
// the window: the repaint and the refresh priority on activation, and the switch to full screen.
//
// On an own-thread host the loop runs on its refresh thread, which owns the window; a stepped host's
// callbacks and the program's sleeps run the cycles on the program's only thread.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <future>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>

#include "screen/backend/backend.h"
#include "screen/backend/event_translator.h"
#include "screen/backend/window_lines.h"
#include "screen/backend/window_scale.h"
#include "screen/state/screen_state.h"
#include "screen/window/refresh_schedule.h"

namespace zopp {

class RefreshLoop final : private WindowOwner, public ScreenWatcher {
  public:
    RefreshLoop(ScreenState& screen, std::unique_ptr<Backend> backend);
    ~RefreshLoop() override;
    RefreshLoop(const RefreshLoop&) = delete;
    RefreshLoop& operator=(const RefreshLoop&) = delete;

    // Creates the window with the title (on the refresh thread, which it starts, or here for the other
    // hosts). False when the back-end could not: nothing is left running.
    bool start(std::int32_t refreshRate, std::string_view title);
    // Ends the refresh thread (joining it) and closes the window. On the program's thread.
    void stop();
    // True after stop() had to leave the refresh thread behind (parked by the exit sequence, or stop()
    // called on it): it may hold the screen lock or use the screen's buffers, so neither may be touched.
    bool abandoned() const { return abandoned_; }

    // Drawing marked lines dirty and released the lock: run a cycle soon. Any thread; at most one wake
    // reaches the back-end per cycle.
    void linesChanged() override { wake(); }
    // From the program's thread; applied by the next cycle, which they wake.
    void setTitle(std::string_view title);
    void paletteChanged() override;

  private:
    void run(std::int32_t refreshRate, const std::string& title, std::shared_ptr<std::promise<bool>> started);
    bool createWindow(std::int32_t refreshRate, std::string_view title);
    void destroyWindow();
    void cycle();
    void present(std::span<const LineSpan> spans);
    void step();
    void wake();

    // WindowOwner, for the translator.
    void activityChanged(bool active) override;
    void fullScreenSwitchRequested() override;
    void desktopScaleChanged(const DesktopScale& desktop) override;
    void fullScreenChanged(bool fullScreen) override;
    void areaExposed(std::int32_t top, std::int32_t bottom) override;
    void applyScale();

    ScreenState& screen_;
    const std::unique_ptr<Backend> backend_;
    EventTranslator translator_;
    LineConverter lines_;  // to the presenter's layout; its buffer lives as long as the loop
    // The window's factor k: the one the desktop's scale gives outside full screen, 1 in it. The loop's
    // thread's, under the screen lock.
    std::int32_t windowScale_ = 1;
    bool fullScreen_ = false;
    std::int32_t k_ = 1;

    std::thread thread_;
    std::atomic<bool> stopping_{false};
    bool abandoned_ = false;
    bool windowOpen_ = false;

    std::atomic<bool> wakeRequested_{false};
    std::atomic<bool> paletteChanged_{false};
    std::mutex titleMutex_;
    std::string pendingTitle_;
    std::atomic<bool> titleChanged_{false};
};

}  // namespace zopp
