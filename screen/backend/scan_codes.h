// Key numbering: USB HID keyboard usages (what the platform reports) to PC set-1 scan codes and to the
// extended key codes that the key buffer receives for keys without a character.
#pragma once

#include <cstdint>

namespace zopp {

// Set-1 scan code of a HID keyboard usage (without the 0xE0 prefix of the extended keys); 0 when the
// key has none.
std::int32_t pcScanCode(std::int32_t hidUsage);

struct KeyModifiers {
    bool shift = false, ctrl = false, alt = false;
};

// The extended key code of function and navigation keys under the held modifiers (Alt+F4 is 0x6B);
// 0 for every other key.
std::int32_t extendedKeyCode(std::int32_t hidUsage, KeyModifiers modifiers);

}  // namespace zopp
