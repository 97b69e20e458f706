// Input state kept by the screen layer: the key buffer with its key-pressed flag, and the window state
// from which the refresh loop produces events.
#pragma once

#include <cstdint>

namespace zopp {

// The code a close request pushes into the key buffer (Alt+F4's key code).
inline constexpr std::int32_t closeKeyCode = 0x6BFF;

// Clears the key buffer, the key flag and the window state; called when a screen opens.
void resetInput();

// Pushes a key code (dropping the oldest when the 16 slots are full) and sets the key flag. Call with the
// screen lock held.
void pushKey(std::int32_t code);

// Reads and clears the key flag under the screen lock (registered as the frame's key hook).
bool takeKeyPressed();

}  // namespace zopp
