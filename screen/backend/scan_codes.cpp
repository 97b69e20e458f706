#include "screen/backend/scan_codes.h"

#include <array>
#include <cstddef>

namespace zopp {

namespace {

// HID usages 0x04 (A) to 0x65 (Application), in order.
constexpr std::array<std::uint8_t, 0x62> kMainBlock = {
    0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,  // A-M
    0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C,  // N-Z
    0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B,                    // 1-0
    0x1C, 0x01, 0x0E, 0x0F, 0x39,                                                  // Enter Esc BS Tab Space
    0x0C, 0x0D, 0x1A, 0x1B, 0x2B, 0x2B, 0x27, 0x28, 0x29, 0x33, 0x34, 0x35,        // - = [ ] \ # ; ' ` , . /
    0x3A,                                                                          // Caps Lock
    0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x57, 0x58,        // F1-F12
    0x37, 0x46, 0x45,                                                              // Print Scroll Pause
    0x52, 0x47, 0x49, 0x53, 0x4F, 0x51,                                // Ins Home PgUp Del End PgDn
    0x4D, 0x4B, 0x50, 0x48,                                            // Right Left Down Up
    0x45, 0x35, 0x37, 0x4A, 0x4E, 0x1C,                                // NumLock / * - + Enter
    0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49, 0x52, 0x53,  // keypad 1-9 0 .
    0x56, 0x5D,                                                        // non-US \  Application
};

// HID usages 0xE0 to 0xE7: Ctrl, Shift, Alt, GUI on the left, then on the right.
constexpr std::array<std::uint8_t, 8> kModifierKeys = {0x1D, 0x2A, 0x38, 0x5B, 0x1D, 0x36, 0x38, 0x5C};

constexpr std::int32_t kHidF1 = 0x3A, kHidF10 = 0x43, kHidF11 = 0x44, kHidF12 = 0x45;
constexpr std::int32_t kHidInsert = 0x49, kHidUp = 0x52;

struct NavigationCodes {
    std::uint8_t plain, ctrl, alt;
};
// Insert, Home, PgUp, Delete, End, PgDn, Right, Left, Down, Up (HID 0x49 to 0x52).
constexpr std::array<NavigationCodes, 10> kNavigation = {{
    {0x52, 0x92, 0xA2},
    {0x47, 0x77, 0x97},
    {0x49, 0x84, 0x99},
    {0x53, 0x93, 0xA3},
    {0x4F, 0x75, 0x9F},
    {0x51, 0x76, 0xA1},
    {0x4D, 0x74, 0x9D},
    {0x4B, 0x73, 0x9B},
    {0x50, 0x91, 0xA0},
    {0x48, 0x8D, 0x98},
}};

}  // namespace

std::int32_t pcScanCode(std::int32_t hidUsage) {
    if (hidUsage >= 0x04 && hidUsage < 0x04 + static_cast<std::int32_t>(kMainBlock.size())) {
        return kMainBlock[static_cast<std::size_t>(hidUsage - 0x04)];
    }
    if (hidUsage >= 0xE0 && hidUsage <= 0xE7) return kModifierKeys[static_cast<std::size_t>(hidUsage - 0xE0)];
    return 0;
}

std::int32_t extendedKeyCode(std::int32_t hidUsage, KeyModifiers modifiers) {
    if (hidUsage >= kHidF1 && hidUsage <= kHidF10) {
        // F1-F10 run 0x3B..0x44 plain, then shifted, with Ctrl and with Alt in blocks of ten from 0x54.
        const std::int32_t index = hidUsage - kHidF1;
        if (modifiers.alt) return 0x68 + index;
        if (modifiers.ctrl) return 0x5E + index;
        if (modifiers.shift) return 0x54 + index;
        return 0x3B + index;
    }
    if (hidUsage == kHidF11 || hidUsage == kHidF12) {
        const std::int32_t index = hidUsage - kHidF11;
        if (modifiers.alt) return 0x8B + index;
        if (modifiers.ctrl) return 0x89 + index;
        if (modifiers.shift) return 0x87 + index;
        return 0x85 + index;
    }
    if (hidUsage >= kHidInsert && hidUsage <= kHidUp) {
        const NavigationCodes& codes = kNavigation[static_cast<std::size_t>(hidUsage - kHidInsert)];
        if (modifiers.alt) return codes.alt;
        if (modifiers.ctrl) return codes.ctrl;
        return codes.plain;
    }
    return 0;
}

}  // namespace zopp
