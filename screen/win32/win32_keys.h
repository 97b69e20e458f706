// Key messages (WM_KEYDOWN and friends) as the translator's key notifications.
#pragma once

#include <windows.h>

#include <cstdint>

#include "screen/backend/event_translator.h"

namespace zopp {

// The USB HID usage of the keys that have extended key codes (function and navigation keys); 0 for
// every other virtual key.
std::int32_t hidUsageOfVirtualKey(WPARAM virtualKey);

// scanCode from the message's set-1 scan code (bits 16-23 of lParam, without the 0xE0 prefix),
// character from the keyboard layout in the current keyboard state, the extended code from the held
// modifiers, repeat from the previous-state bit, Alt from the context code.
KeyNotification keyNotification(WPARAM virtualKey, LPARAM lParam);

}  // namespace zopp
