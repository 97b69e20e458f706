// Turns the window's notifications into ScreenEvent records. Platform-neutral: the back-end maps its
// platform's notifications onto these calls, in the refresh loop's cycle with the screen lock held.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <utility>

#include "frame/events.h"
#include "screen/backend/click_series.h"
#include "screen/backend/window_scale.h"

namespace zopp {

// What the translator needs from the window's platform (the back-end).
class WindowPlatform {
  public:
    virtual ~WindowPlatform() = default;
    // Keeps motion and the release arriving while the pointer is outside the window. A platform without
    // a pointer keeps none.
    virtual void capturePointer() {}
    virtual void releasePointer() {}
    virtual bool holdsPointer() const { return false; }
    // Asks for (or stops asking for) a report when the pointer leaves the client area, on a platform that
    // reports it only when asked; elsewhere nothing to do.
    virtual void trackLeave(bool) {}
    // Whether the pointer is over the client area now.
    virtual bool pointerOverClient() const { return false; }
};

// What the window's notifications mean beyond events, carried out by the layer that owns the window (the
// refresh loop).
class WindowOwner {
  public:
    virtual ~WindowOwner() = default;
    // The window became active or stopped being active.
    virtual void activityChanged(bool active) = 0;
    // Alt+Enter or a maximise request: switch between the window and full screen, where allowed.
    virtual void fullScreenSwitchRequested() = 0;
    // The desktop's scale where the window is (at creation and whenever it changes), and full screen
    // entered or left: what the window's factor follows.
    virtual void desktopScaleChanged(const DesktopScale&) {}
    virtual void fullScreenChanged(bool) {}
    // The platform asks for client rows top .. bottom - 1 (device pixels) to be painted again.
    virtual void areaExposed(std::int32_t, std::int32_t) {}
};

// A key notification. scanCode is the PC set-1 scan code (0 when the key has none), character the
// character the key produces now (0 when none or 256 and above), extendedCode the key's extended code
// (0 when none) which goes into the key buffer as (extendedCode << 8) | 0xFF.
struct KeyNotification {
    std::int32_t scanCode = 0;
    std::int32_t character = 0;
    std::int32_t extendedCode = 0;
    bool repeat = false;  // an auto-repeat of a key already held
    bool alt = false;     // Alt is held
};

// Set-1 scan codes the translator treats specially.
inline constexpr std::int32_t kScanEnter = 0x1C;
inline constexpr std::int32_t kScanAlt = 0x38;
inline constexpr std::int32_t kScanF10 = 0x44;

// The platform reports what it saw, as it saw it: repeated activation reports, a leave report whether
// asked for or not, the platform's own click count. The translator decides what that means.
class EventTranslator {
  public:
    EventTranslator(WindowPlatform& platform, WindowOwner& owner) : platform_(platform), owner_(owner) {}

    // The window shows each screen pixel as a scale × scale block of device pixels (1 until the window's
    // owner says otherwise); positions reported after this are divided by it.
    void setScale(std::int32_t scale) { scale_ = scale; }
    std::int32_t scale() const { return scale_; }

    // (x, y): position in the client area in device pixels, negative or beyond its size while captured;
    // (desktopX, desktopY): the same point on the desktop. Events carry screen pixels: each position is
    // divided by the scale rounding down, so that a point left of or above the window stays negative.
    void motion(std::int32_t x, std::int32_t y, std::int32_t desktopX, std::int32_t desktopY);
    // button: one MouseButton code. clickCount: the platform's count of quick presses in one place, this
    // one included (1 where it counts none); every second press of such a series is a double click.
    void buttonPressed(std::int32_t button, std::int32_t clickCount);
    // A press the platform does not count: timeMs is its time (any origin, may wrap) and (desktopX,
    // desktopY) its desktop position in device pixels; the translator counts its series (ClickSeries).
    void buttonPressedAt(std::int32_t button, std::uint32_t timeMs, std::int32_t desktopX,
                         std::int32_t desktopY);
    void buttonReleased(std::int32_t button);
    // One wheel step; positive = turned away from the user (or to the right).
    void wheel(std::int32_t delta);
    void horizontalWheel(std::int32_t delta);
    // The pointer left the client area; heeded once after each enter. While a button the window saw
    // pressed is held, the pointer stays with the window wherever it is: the release decides, by where the
    // platform finds the pointer then.
    void pointerLeft();
    // The platform's window state, as reported; only a change of activity (focused and not minimised)
    // counts. A platform that reports one half keeps the other as last reported.
    void activationChanged(bool focused, bool minimised);
    void focusChanged(bool focused) { activationChanged(focused, minimised_); }
    void minimisedChanged(bool minimised) { activationChanged(focused_, minimised); }
    void maximiseRequested() { owner_.fullScreenSwitchRequested(); }
    void desktopScaleChanged(const DesktopScale& desktop) { owner_.desktopScaleChanged(desktop); }
    void fullScreenChanged(bool fullScreen) { owner_.fullScreenChanged(fullScreen); }
    void areaExposed(std::int32_t top, std::int32_t bottom) { owner_.areaExposed(top, bottom); }
    void closeRequested();
    void keyPressed(const KeyNotification& key);
    void keyReleased(const KeyNotification& key);

    bool windowActive() const { return windowActive_; }
    bool pointerInside() const { return pointerInside_; }
    std::int32_t buttonsDown() const { return buttonsDown_; }
    std::int32_t lastX() const { return lastX_; }
    std::int32_t lastY() const { return lastY_; }
    const std::array<std::uint8_t, 128>& keyState() const { return keyState_; }

  private:
    // The enter rule: the first sign of the pointer over the active window becomes PointerEnter.
    bool enterIfOutside(ScreenEvent& candidate);
    bool consumed(const KeyNotification& key) const;
    void recordKeyState(const KeyNotification& key, bool down);

    WindowPlatform& platform_;
    WindowOwner& owner_;
    std::int32_t buttonsDown_ = 0;
    bool pointerInside_ = false;
    bool leaveAwaited_ = false;   // a leave report counts only once after each enter
    bool leftWhileHeld_ = false;  // a leave report waits for the release
    bool windowActive_ = false;
    bool focused_ = false, minimised_ = false;  // as last reported
    std::optional<std::pair<std::int32_t, std::int32_t>> desktop_;
    std::int32_t wheel_ = 0, hwheel_ = 0;
    std::int32_t scale_ = 1;
    ClickSeries clicks_;
    std::int32_t lastX_ = 0, lastY_ = 0;
    // The key-state table: 1 for each set-1 scan code held while the window is active, for the layer's
    // key query (this program makes none).
    std::array<std::uint8_t, 128> keyState_{};
};

}  // namespace zopp
