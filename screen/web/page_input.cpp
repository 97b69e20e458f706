#include "screen/web/page_input.h"

#include "frame/events.h"
#include "screen/backend/event_translator.h"
#include "screen/backend/scan_codes.h"

namespace zopp {

void PageInput::feed(PageEvent event, const PageRecord& record, EventTranslator& translator) {
    switch (event) {
        case PageEvent::Motion: {
            const std::int32_t x = record[1], y = record[2];
            const bool inside = x >= 0 && y >= 0 && x < width_ && y < height_;
            // The page reports motion outside the canvas while a button is held; the window sees it only
            // while it holds the capture.
            if (inside || capturing_) translator.motion(x, y, record[3], record[4]);
            break;
        }
        case PageEvent::Press:
            translator.buttonPressedAt(record[1], static_cast<std::uint32_t>(record[2]), record[3],
                                       record[4]);
            break;
        case PageEvent::Release:
            translator.buttonReleased(record[1]);
            break;
        case PageEvent::Leave:
            translator.pointerLeft();
            break;
        case PageEvent::Wheel:
            if (record[1] != 0) translator.wheel(record[1]);
            if (record[2] != 0) translator.horizontalWheel(record[2]);
            break;
        case PageEvent::Activation:
            pointerOver_ = record[3] != 0;
            translator.activationChanged(record[1] != 0, record[2] != 0);
            break;
        case PageEvent::Tap:
            tap(record, translator);
            break;
        case PageEvent::KeyDown:
            translator.keyPressed(key(record));
            break;
        case PageEvent::KeyUp:
            translator.keyReleased(key(record));
            break;
    }
}

// The page names the key by its position (the same on every layout), as a HID usage; the character is
// what the layout made of it.
KeyNotification PageInput::key(const PageRecord& record) {
    const std::int32_t hid = record[1], modifiers = record[3];
    const KeyModifiers held{(modifiers & PageShift) != 0, (modifiers & PageCtrl) != 0,
                            (modifiers & PageAlt) != 0};
    const std::int32_t character = record[2] > 0 && record[2] < 256 ? record[2] : 0;
    return KeyNotification{pcScanCode(hid), character, extendedKeyCode(hid, held), record[4] != 0, held.alt};
}

// A finger has no hover, so a tap brings the pointer along when it is not over the canvas yet: it enters
// where the pointer was last and moves to the tap (the move is what tells the program where the click
// is), the left button goes down and up there, and the pointer leaves with the finger.
void PageInput::tap(const PageRecord& record, EventTranslator& translator) {
    const std::int32_t x = record[1], y = record[2], desktopX = record[3], desktopY = record[4];
    const bool entering = !translator.pointerInside();
    if (entering) {
        const std::int32_t fromX = translator.lastX(), fromY = translator.lastY();
        translator.motion(fromX, fromY, desktopX + fromX - x, desktopY + fromY - y);
    }
    translator.motion(x, y, desktopX, desktopY);
    translator.buttonPressed(LeftButton, 1);
    translator.buttonReleased(LeftButton);
    if (entering) translator.pointerLeft();
}

}  // namespace zopp
