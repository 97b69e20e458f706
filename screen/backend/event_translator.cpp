#include "screen/backend/event_translator.h"

#include <bit>

#include "screen/backend/input.h"

namespace zopp {

namespace {

constexpr std::int32_t kExtraButtons = ExtraButton1 | ExtraButton2;

// Rounds down, also below zero: device pixel -1 lies in screen pixel -1 at every scale.
std::int32_t floorDivide(std::int32_t value, std::int32_t divisor) {
    const std::int32_t quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

void post(std::int32_t type, std::int32_t slot1 = 0, std::int32_t slot2 = 0, std::int32_t dx = 0,
          std::int32_t dy = 0) {
    postEvent(ScreenEvent{type, slot1, slot2, dx, dy});
}

}  // namespace

bool EventTranslator::enterIfOutside(ScreenEvent& candidate) {
    if (!windowActive_ || pointerInside_) return false;
    platform_.trackLeave(true);
    leaveAwaited_ = true;
    pointerInside_ = true;
    candidate.type = PointerEnter;
    return true;
}

void EventTranslator::motion(std::int32_t x, std::int32_t y, std::int32_t desktopX, std::int32_t desktopY) {
    // One division here, so that every rule below (distances, enter and leave) counts screen pixels.
    x = floorDivide(x, scale_);
    y = floorDivide(y, scale_);
    desktopX = floorDivide(desktopX, scale_);
    desktopY = floorDivide(desktopY, scale_);
    lastX_ = x;
    lastY_ = y;
    std::int32_t dx = 0, dy = 0;
    if (desktop_) {
        dx = desktopX - desktop_->first;
        dy = desktopY - desktop_->second;
    }
    desktop_.emplace(desktopX, desktopY);

    ScreenEvent candidate{PointerMove, x, y, dx, dy};
    bool postIt = (dx != 0 || dy != 0) && windowActive_;
    // An enter replaces the motion, even one without distance.
    if (enterIfOutside(candidate)) postIt = true;
    if (postIt) postEvent(candidate);
}

void EventTranslator::buttonPressed(std::int32_t button, std::int32_t clickCount) {
    const bool doubleClick = clickCount >= 2 && clickCount % 2 == 0;
    platform_.capturePointer();
    // Extra buttons report the bits this press newly set.
    const std::int32_t reported = (button & kExtraButtons) ? (button & ~buttonsDown_) : button;
    buttonsDown_ |= button;
    post(doubleClick ? DoubleClick : ButtonDown, reported);
}

void EventTranslator::buttonPressedAt(std::int32_t button, std::uint32_t timeMs, std::int32_t desktopX,
                                      std::int32_t desktopY) {
    const auto index = static_cast<std::size_t>(std::countr_zero(static_cast<std::uint32_t>(button)));
    buttonPressed(button,
                  clicks_.press(index, timeMs, floorDivide(desktopX, scale_), floorDivide(desktopY, scale_)));
}

void EventTranslator::buttonReleased(std::int32_t button) {
    const std::int32_t reported = (button & kExtraButtons) ? (button & buttonsDown_) : button;
    buttonsDown_ &= ~button;
    if (buttonsDown_ == 0 && platform_.holdsPointer()) platform_.releasePointer();
    post(ButtonUp, reported);
    if (buttonsDown_ == 0 && leftWhileHeld_) {
        leftWhileHeld_ = false;
        if (!platform_.pointerOverClient()) pointerLeft();
    }
}

void EventTranslator::wheel(std::int32_t delta) {
    wheel_ += delta > 0 ? 1 : -1;
    post(Wheel, wheel_);
}

void EventTranslator::horizontalWheel(std::int32_t delta) {
    hwheel_ += delta > 0 ? 1 : -1;
    post(HorizontalWheel, hwheel_);
}

void EventTranslator::pointerLeft() {
    if (!leaveAwaited_) return;
    if (buttonsDown_ != 0) {
        leftWhileHeld_ = true;
        return;
    }
    leaveAwaited_ = false;
    if (!windowActive_) return;
    post(PointerLeave);
    pointerInside_ = false;
}

void EventTranslator::activationChanged(bool focused, bool minimised) {
    focused_ = focused;
    minimised_ = minimised;
    const bool active = focused && !minimised;
    if (active == windowActive_) return;  // platforms repeat themselves; events mark changes
    windowActive_ = active;
    keyState_.fill(0);
    buttonsDown_ = 0;
    leftWhileHeld_ = false;
    // No release reaches an inactive window, so a capture held now would never end.
    if (!windowActive_ && platform_.holdsPointer()) platform_.releasePointer();
    if (!windowActive_ && pointerInside_) {
        post(PointerLeave);
        pointerInside_ = false;
        leaveAwaited_ = false;
        platform_.trackLeave(false);
    }
    if (!(focused && minimised)) post(windowActive_ ? FocusGained : FocusLost);
    if (windowActive_ && platform_.pointerOverClient()) {
        ScreenEvent enter{PointerEnter, 0, 0, 0, 0};  // from an activation: no position
        if (enterIfOutside(enter)) postEvent(enter);
    }
    owner_.activityChanged(windowActive_);
}

void EventTranslator::closeRequested() {
    pushKey(closeKeyCode);
    post(CloseRequest);
}

bool EventTranslator::consumed(const KeyNotification& key) const {
    if (key.scanCode == kScanAlt || key.scanCode == kScanF10) return true;
    return key.extendedCode != 0 && ((key.extendedCode << 8) | 0xFF) == closeKeyCode;
}

void EventTranslator::recordKeyState(const KeyNotification& key, bool down) {
    if (key.scanCode > 0 && key.scanCode < static_cast<std::int32_t>(keyState_.size()))
        keyState_[static_cast<std::size_t>(key.scanCode)] = down ? 1 : 0;
}

void EventTranslator::keyPressed(const KeyNotification& key) {
    recordKeyState(key, true);
    if (key.alt && key.scanCode == kScanEnter && !key.repeat) owner_.fullScreenSwitchRequested();
    if (consumed(key)) return;
    post(key.repeat ? KeyRepeat : KeyDown, key.scanCode, key.character);
    if (key.extendedCode != 0) {
        pushKey((key.extendedCode << 8) | 0xFF);
    } else if (key.character != 0) {
        pushKey(key.character);
    }
}

void EventTranslator::keyReleased(const KeyNotification& key) {
    recordKeyState(key, false);
    if (consumed(key)) return;
    post(KeyUp, key.scanCode, key.character);
}

}  // namespace zopp
