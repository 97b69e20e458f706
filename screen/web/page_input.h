// The page's pointer input, turned into the translator's notifications. The page's JavaScript queues one
// record per browser event (page_host.js); the refresh step hands them here, under the screen lock.
#pragma once

#include <array>
#include <cstdint>

#include "screen/backend/event_translator.h"

namespace zopp {

// What the page reports, one record each; positions are canvas pixels (negative or beyond the canvas
// while a button is held), desktop positions the pointer's place on the screen.
enum class PageEvent : std::int32_t {
    Motion = 1,      // x, y, desktopX, desktopY
    Press = 2,       // button (a MouseButton code), time in milliseconds, x, y
    Release = 3,     // button
    Leave = 4,       // the pointer left the canvas
    Wheel = 5,       // vertical steps (positive: turned away from the user), horizontal steps
    Activation = 6,  // focused, hidden, pointerOver
    Tap = 7,         // x, y, desktopX, desktopY of a finger's tap
    KeyDown = 8,     // HID usage of the key's position, character (0: none), modifiers, repeat (1)
    KeyUp = 9,       // HID usage, character, modifiers
};

// The modifiers of a key record, as bits.
enum PageModifier : std::int32_t { PageShift = 1, PageCtrl = 2, PageAlt = 4 };
using PageRecord = std::array<std::int32_t, 5>;  // the event and four values

class PageInput {
  public:
    PageInput(std::int32_t width, std::int32_t height) : width_(width), height_(height) {}

    void feed(PageEvent event, const PageRecord& record, EventTranslator& translator);

    // The translator's wish (through the back-end): keep motion arriving from outside the canvas while a
    // button is held.
    void capture(bool enabled) { capturing_ = enabled; }
    bool capturing() const { return capturing_; }
    // Whether the pointer was over the canvas at the latest activation record; false before the first,
    // as only the pointer's first motion tells where it is.
    bool pointerOver() const { return pointerOver_; }

  private:
    void tap(const PageRecord& record, EventTranslator& translator);
    static KeyNotification key(const PageRecord& record);

    std::int32_t width_, height_;
    bool capturing_ = false;
    bool pointerOver_ = false;
};

}  // namespace zopp
