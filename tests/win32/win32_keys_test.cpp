// Key messages as key notifications: what the message itself carries, without a keyboard layout.
#include "screen/win32/win32_keys.h"

#include <gtest/gtest.h>

namespace zopp {
namespace {

// lParam of a key message: repeat count 1, the scan code, the extended-key, context (Alt) and
// previous-state bits.
LPARAM keyParam(int scan, bool extended = false, bool alt = false, bool wasDown = false, bool up = false) {
    std::uint32_t value = 1u | (static_cast<std::uint32_t>(scan) << 16);
    if (extended) value |= 1u << 24;
    if (alt) value |= 1u << 29;
    if (wasDown) value |= 1u << 30;
    if (up) value |= 1u << 31;
    return static_cast<LPARAM>(value);
}

TEST(Win32Keys, ScanCodeComesFromTheMessageWithoutTheExtendedPrefix) {
    EXPECT_EQ(keyNotification(VK_ESCAPE, keyParam(0x01)).scanCode, 0x01);
    EXPECT_EQ(keyNotification('A', keyParam(0x1E)).scanCode, 0x1E);
    EXPECT_EQ(keyNotification(VK_RIGHT, keyParam(0x4D, true)).scanCode, 0x4D);
}

TEST(Win32Keys, RepeatIsAPressOfAKeyAlreadyDown) {
    EXPECT_FALSE(keyNotification('A', keyParam(0x1E)).repeat);
    EXPECT_TRUE(keyNotification('A', keyParam(0x1E, false, false, true)).repeat);
    EXPECT_FALSE(keyNotification('A', keyParam(0x1E, false, false, true, true)).repeat) << "a release";
}

TEST(Win32Keys, AltF4HasTheCloseKeyCodeSoTheTranslatorConsumesIt) {
    const KeyNotification altF4 = keyNotification(VK_F4, keyParam(0x3E, false, true));
    EXPECT_EQ((altF4.extendedCode << 8) | 0xFF, 0x6BFF);
    EXPECT_EQ(keyNotification(VK_F4, keyParam(0x3E)).extendedCode, 0x3E);
    EXPECT_EQ(keyNotification(VK_F10, keyParam(0x44)).scanCode, kScanF10);
}

TEST(Win32Keys, FunctionAndNavigationKeysMapToTheirUsagesOthersToNone) {
    EXPECT_EQ(hidUsageOfVirtualKey(VK_F1), 0x3A);
    EXPECT_EQ(hidUsageOfVirtualKey(VK_F12), 0x45);
    EXPECT_EQ(hidUsageOfVirtualKey(VK_INSERT), 0x49);
    EXPECT_EQ(hidUsageOfVirtualKey(VK_UP), 0x52);
    EXPECT_EQ(hidUsageOfVirtualKey('A'), 0);
    EXPECT_EQ(hidUsageOfVirtualKey(VK_RETURN), 0);
    EXPECT_EQ(keyNotification(VK_HOME, keyParam(0x47, true, true)).extendedCode, 0x97);
    EXPECT_EQ(keyNotification('A', keyParam(0x1E, false, true)).extendedCode, 0);
}

}  // namespace
}  // namespace zopp
