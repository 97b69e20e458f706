#include "screen/backend/scan_codes.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <utility>
#include <vector>

namespace zopp {
namespace {

TEST(ScanCodes, EveryKeyHasTheSetOneCodeOfItsPlaceAndAllOthersNone) {
    std::map<std::int32_t, std::int32_t> expected;
    // HID numbers the letters alphabetically from 0x04; set 1 numbers them along the keyboard's rows.
    for (const auto& [row, first] : {std::pair{"QWERTYUIOP", 0x10}, {"ASDFGHJKL", 0x1E}, {"ZXCVBNM", 0x2C}}) {
        for (std::int32_t i = 0; row[i] != '\0'; ++i)
            expected[0x04 + row[i] - 'A'] = first + i;
    }
    for (std::int32_t i = 0; i < 10; ++i) {
        expected[0x1E + i] = 0x02 + i;  // 1-9, 0
        expected[0x3A + i] = 0x3B + i;  // F1-F10
    }
    for (std::int32_t i = 0; i < 9; ++i)
        expected[0x59 + i] = 0x4F - 4 * (i / 3) + i % 3;  // keypad 1-9, bottom row first
    const std::pair<std::int32_t, std::int32_t> others[] = {
        {0x28, 0x1C}, {0x29, 0x01}, {0x2A, 0x0E}, {0x2B, 0x0F}, {0x2C, 0x39},  // Enter Esc BS Tab Space
        {0x2D, 0x0C}, {0x2E, 0x0D}, {0x2F, 0x1A}, {0x30, 0x1B}, {0x31, 0x2B},
        {0x32, 0x2B},  // - = [ ] \ #
        {0x33, 0x27}, {0x34, 0x28}, {0x35, 0x29}, {0x36, 0x33}, {0x37, 0x34},
        {0x38, 0x35},                              // ; ' ` , . /
        {0x39, 0x3A}, {0x44, 0x57}, {0x45, 0x58},  // Caps F11 F12
        {0x46, 0x37}, {0x47, 0x46}, {0x48, 0x45},  // Print Scroll Pause
        {0x49, 0x52}, {0x4A, 0x47}, {0x4B, 0x49}, {0x4C, 0x53}, {0x4D, 0x4F},
        {0x4E, 0x51},                                            // Ins Home PgUp ...
        {0x4F, 0x4D}, {0x50, 0x4B}, {0x51, 0x50}, {0x52, 0x48},  // Right Left Down Up
        {0x53, 0x45}, {0x54, 0x35}, {0x55, 0x37}, {0x56, 0x4A}, {0x57, 0x4E},
        {0x58, 0x1C},                                            // NumLock / * - +
        {0x62, 0x52}, {0x63, 0x53}, {0x64, 0x56}, {0x65, 0x5D},  // keypad 0 . , non-US \, Application
        {0xE0, 0x1D}, {0xE1, 0x2A}, {0xE2, 0x38}, {0xE3, 0x5B},  // left Ctrl Shift Alt GUI
        {0xE4, 0x1D}, {0xE5, 0x36}, {0xE6, 0x38}, {0xE7, 0x5C},  // right Ctrl Shift Alt GUI
    };
    expected.insert(std::begin(others), std::end(others));
    ASSERT_EQ(expected.size(), 106u);
    for (std::int32_t usage = -1; usage <= 0x100; ++usage) {
        const auto key = expected.find(usage);
        EXPECT_EQ(pcScanCode(usage), key == expected.end() ? 0 : key->second) << "HID usage " << usage;
    }
}

TEST(ScanCodes, FunctionAndNavigationKeysHaveAnExtendedCodePerModifierAndAllOthersNone) {
    // HID usage, then the code plain, with Shift, with Ctrl and with Alt; Alt wins over Ctrl over Shift.
    std::vector<std::array<std::int32_t, 5>> keys = {
        {0x44, 0x85, 0x87, 0x89, 0x8B}, {0x45, 0x86, 0x88, 0x8A, 0x8C},  // F11 F12
        {0x49, 0x52, 0x52, 0x92, 0xA2}, {0x4A, 0x47, 0x47, 0x77, 0x97},  // Insert Home
        {0x4B, 0x49, 0x49, 0x84, 0x99}, {0x4C, 0x53, 0x53, 0x93, 0xA3},  // PgUp Delete
        {0x4D, 0x4F, 0x4F, 0x75, 0x9F}, {0x4E, 0x51, 0x51, 0x76, 0xA1},  // End PgDn
        {0x4F, 0x4D, 0x4D, 0x74, 0x9D}, {0x50, 0x4B, 0x4B, 0x73, 0x9B},  // Right Left
        {0x51, 0x50, 0x50, 0x91, 0xA0}, {0x52, 0x48, 0x48, 0x8D, 0x98},  // Down Up
    };
    for (std::int32_t i = 0; i < 10; ++i)  // F1-F10: blocks of ten
        keys.push_back({0x3A + i, 0x3B + i, 0x54 + i, 0x5E + i, 0x68 + i});
    std::map<std::int32_t, std::array<std::int32_t, 5>> codes;
    for (const auto& key : keys)
        codes[key[0]] = key;
    for (std::int32_t usage = 0; usage <= 0xE7; ++usage) {
        const auto key = codes.find(usage);
        const std::array<std::int32_t, 5> want =
            key == codes.end() ? std::array{usage, 0, 0, 0, 0} : key->second;
        const std::array<std::int32_t, 5> got = {
            usage, extendedKeyCode(usage, {}), extendedKeyCode(usage, {true, false, false}),
            extendedKeyCode(usage, {true, true, false}), extendedKeyCode(usage, {true, true, true})};
        EXPECT_EQ(got, want);
    }
    EXPECT_EQ(extendedKeyCode(0x3D, {false, false, true}), 0x6B) << "Alt+F4, the close key";
}

}  // namespace
}  // namespace zopp
