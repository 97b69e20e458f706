#include "screen/window/scan_codes.h"

#include <gtest/gtest.h>

namespace zopp {
namespace {

TEST(ScanCodes, LettersDigitsAndSpecialKeysUseSetOne) {
    EXPECT_EQ(pcScanCode(0x29), 0x01);  // Escape
    EXPECT_EQ(pcScanCode(0x1E), 0x02);  // 1
    EXPECT_EQ(pcScanCode(0x27), 0x0B);  // 0
    EXPECT_EQ(pcScanCode(0x04), 0x1E);  // A
    EXPECT_EQ(pcScanCode(0x1D), 0x2C);  // Z
    EXPECT_EQ(pcScanCode(0x2C), 0x39);  // Space
    EXPECT_EQ(pcScanCode(0x43), 0x44);  // F10
    EXPECT_EQ(pcScanCode(0x45), 0x58);  // F12
    EXPECT_EQ(pcScanCode(0x52), 0x48);  // Up
    EXPECT_EQ(pcScanCode(0x63), 0x53);  // keypad .
    EXPECT_EQ(pcScanCode(0xE2), 0x38);  // left Alt
    EXPECT_EQ(pcScanCode(0xE5), 0x36);  // right Shift
    EXPECT_EQ(pcScanCode(0x66), 0);     // no set-1 code
    EXPECT_EQ(pcScanCode(-1), 0);
}

TEST(ScanCodes, AltF4IsTheCloseKeyAndOtherKeysFollowTheirBlocks) {
    EXPECT_EQ(extendedKeyCode(0x3D, {false, false, true}), 0x6B);  // Alt+F4
    EXPECT_EQ(extendedKeyCode(0x3A, {}), 0x3B);                    // F1
    EXPECT_EQ(extendedKeyCode(0x3A, {true, false, false}), 0x54);  // Shift+F1
    EXPECT_EQ(extendedKeyCode(0x43, {false, true, false}), 0x67);  // Ctrl+F10
    EXPECT_EQ(extendedKeyCode(0x45, {}), 0x86);                    // F12
    EXPECT_EQ(extendedKeyCode(0x4F, {}), 0x4D);                    // Right
    EXPECT_EQ(extendedKeyCode(0x50, {false, true, false}), 0x73);  // Ctrl+Left
    EXPECT_EQ(extendedKeyCode(0x04, {}), 0);                       // A has a character
}

}  // namespace
}  // namespace zopp
