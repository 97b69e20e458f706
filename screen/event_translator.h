// Turns the window's notifications into ScreenEvent records. Platform-neutral: the back-end maps its
// platform's notifications onto these calls, on the refresh thread with the screen lock held.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <utility>

#include "frame/events.h"

namespace zopp {

// What the translator needs from the window.
class WindowPlatform {
  public:
    virtual ~WindowPlatform() = default;
    // Keeps motion and the release arriving while the pointer is outside the window.
    virtual void capturePointer() = 0;
    virtual void releasePointer() = 0;
    virtual bool holdsPointer() const = 0;
    // Asks for (or stops asking for) a leave notification when the pointer leaves the client area.
    virtual void trackLeave(bool enabled) = 0;
    // Activation changed: mark the whole screen for repainting.
    virtual void activationReset() = 0;
};

// A key notification. scanCode is the PC set-1 scan code (0 when the key has none), character the
// character the key produces now (0 when none or 256 and above), extendedCode the key's extended code
// (0 when none) which goes into the key buffer as (extendedCode << 8) | 0xFF.
struct KeyNotification {
    std::int32_t scanCode = 0;
    std::int32_t character = 0;
    std::int32_t extendedCode = 0;
    bool repeat = false;  // an auto-repeat of a key already held
};

// Set-1 scan codes the translator treats specially.
inline constexpr std::int32_t ScanAlt = 0x38;
inline constexpr std::int32_t ScanF10 = 0x44;

class EventTranslator {
  public:
    explicit EventTranslator(WindowPlatform& platform) : platform_(platform) {}

    // (x, y): position in the client area, negative or beyond its size while captured; (desktopX,
    // desktopY): the same point on the desktop.
    void motion(std::int32_t x, std::int32_t y, std::int32_t desktopX, std::int32_t desktopY);
    // button: one MouseButton code. doubleClick: the platform reports the second press of a double click.
    void buttonPressed(std::int32_t button, bool doubleClick);
    void buttonReleased(std::int32_t button);
    // One wheel step; positive = turned away from the user (or to the right).
    void wheel(std::int32_t delta);
    void horizontalWheel(std::int32_t delta);
    void pointerLeft();
    void activationChanged(bool activated, bool minimised, bool pointerOverClient);
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
    std::int32_t buttonsDown_ = 0;
    bool pointerInside_ = false;
    bool windowActive_ = false;
    std::optional<std::pair<std::int32_t, std::int32_t>> desktop_;
    std::int32_t wheel_ = 0, hwheel_ = 0;
    std::int32_t lastX_ = 0, lastY_ = 0;
    // The key-state table: 1 for each set-1 scan code held while the window is active, for the layer's
    // key query (this program makes none).
    std::array<std::uint8_t, 128> keyState_{};
};

}  // namespace zopp
