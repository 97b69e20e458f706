// The readers the end-to-end game test relies on, on pictures composed here from dat\ and the font.
// gtest before the X headers, whose macros (None, Bool) clash with its names.
#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "harness/support/test_paths.h"
#include "tests/e2e/screen_reading.h"

namespace zopp::e2e {
namespace {

namespace fs = std::filesystem;

class ScreenReading : public ::testing::Test {
  protected:
    // A board-sized picture of the background with one cell at (170, 25).
    Picture screenWith(const Picture& cell) const {
        Picture screen = pictures_.background;
        for (int y = 0; y < cell.height; ++y) {
            for (int x = 0; x < cell.width; ++x)
                screen.set(170 + x, 25 + y, cell.at(x, y));
        }
        return screen;
    }

    const BoardPictures pictures_{fs::path(testing::sourcePath("dat"))};
    const Font font_{fs::path(testing::sourcePath("tools/fontdata/cp437-8x16.bin"))};
};

TEST_F(ScreenReading, CellNumbersAreReadWithTheirColour) {
    const Picture& cell = pictures_.plainCell;
    EXPECT_EQ(readCell(screenWith(cell), 170, 25, cell, font_), "");
    EXPECT_EQ(readCell(screenWith(font_.write(cell, 46, 2, "7", 0xEE0000)), 170, 25, cell, font_), "red 7");
    EXPECT_EQ(readCell(screenWith(font_.write(cell, 42, 2, "30", 0x000000)), 170, 25, cell, font_),
              "black 30");
    EXPECT_EQ(readCell(screenWith(font_.write(pictures_.sumCell, 38, 2, "375", 0x008800)), 170, 25,
                       pictures_.sumCell, font_),
              "green 375");
}

TEST_F(ScreenReading, ACellWithAnythingBesidesCentredDigitsIsUnreadable) {
    const Picture& cell = pictures_.plainCell;
    // Off centre by one pixel.
    EXPECT_EQ(readCell(screenWith(font_.write(cell, 47, 2, "7", 0xEE0000)), 170, 25, cell, font_),
              "unreadable");
    // A stray pixel of the text's colour beside a good number.
    Picture stray = font_.write(cell, 46, 2, "7", 0xEE0000);
    stray.set(2, 2, 0xEE0000);
    EXPECT_EQ(readCell(screenWith(stray), 170, 25, cell, font_), "unreadable");
    // Digits of two colours.
    const Picture mixed = font_.write(font_.write(cell, 42, 2, "1", 0x000000), 50, 2, "2", 0xEE0000);
    EXPECT_EQ(readCell(screenWith(mixed), 170, 25, cell, font_), "unreadable");
    // A letter is no digit.
    EXPECT_EQ(readCell(screenWith(font_.write(cell, 46, 2, "O", 0x000000)), 170, 25, cell, font_),
              "unreadable");
}

TEST_F(ScreenReading, DiceAreKnownByTheirWholeFace) {
    Picture screen = pictures_.background;
    for (int face = 0; face <= 6; ++face) {
        const Picture& die = pictures_.dieFaces[static_cast<std::size_t>(face)];
        for (int y = 0; y < die.height; ++y) {
            for (int x = 0; x < die.width; ++x)
                screen.set(130 + x, 380 + y, die.at(x, y));
        }
        EXPECT_EQ(readDie(screen, 130, 380, pictures_), face);
    }
    screen.set(130 + 25, 380 + 25, screen.at(130 + 25, 380 + 25) ^ 0x010101);
    EXPECT_EQ(readDie(screen, 130, 380, pictures_), -1);
}

// A 3×2 24-bit BMP file: rows padded to 12 bytes, stored bottom-up for a positive height.
std::vector<unsigned char> smallBmp(std::int32_t height, const std::vector<unsigned char>& rows) {
    std::vector<unsigned char> file(54 + rows.size(), 0);
    const auto put = [&](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            file[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put(10, 54);
    put(14, 40);
    put(18, 3);
    put(22, static_cast<std::uint32_t>(height));
    file[26] = 1;
    file[28] = 24;
    std::copy(rows.begin(), rows.end(), file.begin() + 54);
    return file;
}

Picture readBytes(const std::vector<unsigned char>& bytes) {
    const fs::path file = fs::temp_directory_path() / ("zopp-bmp-" + std::to_string(::getpid()) + ".bmp");
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    struct Remove {
        fs::path file;
        ~Remove() { fs::remove(file); }
    } remove{file};
    return readBmp(file);
}

// First file row: blue, green, red pixels; second: three white ones; each row padded by three bytes.
const std::vector<unsigned char> kRows = {255, 0,   0,   0,   255, 0,   0,   0,   255, 0, 0, 0,
                                          255, 255, 255, 255, 255, 255, 255, 255, 255, 0, 0, 0};

TEST(BitmapReading, PositiveHeightsAreStoredBottomUp) {
    const Picture picture = readBytes(smallBmp(2, kRows));
    ASSERT_EQ(picture.width, 3);
    ASSERT_EQ(picture.height, 2);
    EXPECT_EQ(picture.at(0, 0), 0xFFFFFFu);
    EXPECT_EQ(picture.at(0, 1), 0x0000FFu);
    EXPECT_EQ(picture.at(1, 1), 0x00FF00u);
    EXPECT_EQ(picture.at(2, 1), 0xFF0000u);
}

TEST(BitmapReading, NegativeHeightsAreStoredTopDown) {
    const Picture picture = readBytes(smallBmp(-2, kRows));
    ASSERT_EQ(picture.height, 2);
    EXPECT_EQ(picture.at(2, 0), 0xFF0000u);
    EXPECT_EQ(picture.at(2, 1), 0xFFFFFFu);
}

TEST(BitmapReading, ATruncatedFileIsRejected) {
    std::vector<unsigned char> rows = kRows;
    rows.pop_back();
    EXPECT_THROW(readBytes(smallBmp(2, rows)), std::runtime_error);
}

}  // namespace
}  // namespace zopp::e2e
