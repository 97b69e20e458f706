#include "screen/backend/input.h"

#include <array>

#include "frame/timing.h"
#include "screen/state/screen_state.h"

namespace zopp {

namespace {

// The key buffer: codes of typed keys and close requests, for the layer's key reading; this program reads
// only keyPressed, through which long sleeps end early.
std::array<std::int32_t, 16> keyBuffer{};
std::size_t keyHead = 0, keyTail = 0, keyCount = 0;
bool keyPressed = false;

}  // namespace

void resetInput() {
    ScreenLock lock;
    keyHead = keyTail = keyCount = 0;
    keyPressed = false;
    setKeyPressedHook(takeKeyPressed);
}

void pushKey(std::int32_t code) {
    keyBuffer[keyTail] = code;
    keyTail = (keyTail + 1) % keyBuffer.size();
    if (keyCount == keyBuffer.size()) {
        keyHead = (keyHead + 1) % keyBuffer.size();
    } else {
        ++keyCount;
    }
    keyPressed = true;
}

bool takeKeyPressed() {
    ScreenLock lock;
    const bool was = keyPressed;
    keyPressed = false;
    return was;
}

}  // namespace zopp
