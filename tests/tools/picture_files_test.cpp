#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "harness/support/test_paths.h"
#include "screen/backend/window_icon.h"
#include "tests/tools/picture_checks.h"
#include "tools/image_files.h"
#include "tools/pictures.h"

namespace zopp::pictures {
namespace {

using testing::decodeBmp24;
using testing::readFile;

const std::filesystem::path kSource = zopp::testing::sourcePath();

std::vector<std::uint8_t> bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

TEST(CommittedPictures, MatchWhatTheGeneratorPaints) {
    for (const auto& picture : drawPictures()) {
        EXPECT_EQ(readFile(kSource / "dat" / picture.fileName), encodeBmp(picture.canvas))
            << "dat/" << picture.fileName << " is stale: build the target regenerate-pictures";
    }
    EXPECT_EQ(readFile(kSource / "screen" / "backend" / "window_icon.cpp"),
              bytesOf(windowIconSource(drawIcon(32))));
}

// The desktop icons and the window icon are one drawing; packaging/icons holds exactly the sizes the
// generator paints, each the icon at its own size rather than a scaled copy.
TEST(CommittedPictures, DesktopIconsAreTheWindowIconsDrawingAtEachSize) {
    const std::filesystem::path theme = kSource / "packaging" / "icons";
    std::vector<std::filesystem::path> expected, found;
    for (const int size : kDesktopIconSizes) {
        expected.push_back(theme / desktopIconPath(size));
        EXPECT_EQ(readFile(expected.back()), encodePng(drawIcon(size)))
            << expected.back() << " is stale: build the target regenerate-pictures";
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(theme)) {
        if (entry.is_regular_file()) found.push_back(entry.path());
    }
    std::sort(expected.begin(), expected.end());
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, expected);
    EXPECT_EQ(desktopIconPath(256), "256x256/apps/zopp.png");
}

TEST(CommittedPictures, HaveTheSizesTheGameLoadsThemAt) {
    const std::vector<std::tuple<std::string, int, int>> expected = {
        {"background.bmp", 640, 480},
        {"0.bmp", 50, 50},
        {"1.bmp", 50, 50},
        {"2.bmp", 50, 50},
        {"3.bmp", 50, 50},
        {"4.bmp", 50, 50},
        {"5.bmp", 50, 50},
        {"6.bmp", 50, 50},
        {"scb0.bmp", 100, 20},
        {"scb1.bmp", 100, 20},
        {"lock0.bmp", 10, 10},
        {"lock1.bmp", 10, 10},
        {"button0.bmp", 200, 50},
        {"button1.bmp", 200, 50},
        {"checkmark0.bmp", 20, 20},
        {"checkmark1.bmp", 20, 20},
    };
    for (const auto& [name, width, height] : expected) {
        const auto file = readFile(kSource / "dat" / name);
        const auto bitmap = decodeBmp24(file);
        EXPECT_EQ(bitmap.width, width) << name;
        EXPECT_EQ(bitmap.height, height) << name;
        EXPECT_EQ(file.size(), 54 + static_cast<std::size_t>((width * 3 + 3) / 4 * 4) * height) << name;
    }
}

TEST(BmpEncoding, StoresRowsBottomUpInBlueGreenRedPaddedToFourBytes) {
    Canvas canvas(3, 2, rgb(0x102030));
    canvas.fill(box(0, 1, 1, 2, 0), rgb(0xA1B2C3));  // bottom left pixel
    const auto file = encodeBmp(canvas);
    ASSERT_EQ(file.size(), 54u + 2 * 12);
    EXPECT_EQ(file[10], 54);  // pixels follow the two headers
    EXPECT_EQ(file[14], 40);  // info header size
    EXPECT_EQ(file[22], 2);   // positive height: bottom-up
    EXPECT_EQ(file[28], 24);
    // The first stored row is the picture's bottom row, starting with its left pixel.
    EXPECT_EQ(file[54], 0xC3);
    EXPECT_EQ(file[55], 0xB2);
    EXPECT_EQ(file[56], 0xA1);
    EXPECT_EQ(file[57], 0x30);
    for (std::size_t pad = 63; pad < 66; ++pad) {
        EXPECT_EQ(file[pad], 0) << pad;
    }
    EXPECT_EQ(file[66], 0x30);  // the top row starts on the next four-byte boundary
}

TEST(PngEncoding, ChecksumsMatchTheirPublishedCheckValues) {
    EXPECT_EQ(crc32(bytesOf("123456789")), 0xCBF43926u);
    EXPECT_EQ(crc32(bytesOf("IEND")), 0xAE426082u);
    EXPECT_EQ(adler32(bytesOf("Wikipedia")), 0x11E60398u);
}

TEST(PngEncoding, SplitsLargePicturesIntoStoredBlocksOfAtMost65535Bytes) {
    const Canvas canvas(130, 130, rgb(0x336699));  // 130 rows of 1 + 520 bytes: more than one block
    const auto png = encodePng(canvas);
    const std::size_t idat = 8 + 25;  // after the signature and the IHDR chunk
    ASSERT_GT(png.size(), idat + 20);
    ASSERT_EQ(std::string(png.begin() + idat + 4, png.begin() + idat + 8), "IDAT");
    const std::size_t zlib = idat + 8;
    EXPECT_EQ(png[zlib], 0x78);
    EXPECT_EQ((png[zlib] << 8 | png[zlib + 1]) % 31, 0);  // zlib header check bits
    EXPECT_EQ(png[zlib + 2], 0);                          // a stored block, not the last
    EXPECT_EQ(png[zlib + 3] | png[zlib + 4] << 8, 65535);
    EXPECT_EQ(png[zlib + 5] | png[zlib + 6] << 8, 0);  // one's complement of the length
    const std::size_t second = zlib + 7 + 65535;
    EXPECT_EQ(png[second], 1);  // the last block
    EXPECT_EQ(png[second + 1] | png[second + 2] << 8, 130 * 521 - 65535);
    EXPECT_EQ(std::string(png.end() - 8, png.end() - 4), "IEND");
}

TEST(WindowIcon, IsTheGeneratorsIconWithATransparentSurround) {
    const Canvas icon = drawIcon(32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            ASSERT_EQ(kWindowIconPixels[y * 32 + x], icon.argb(x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(kWindowIconPixels[0] >> 24, 0u);
    EXPECT_EQ(kWindowIconPixels[31 * 32 + 31] >> 24, 0u);
    EXPECT_EQ(kWindowIconPixels[20 * 32 + 12] >> 24, 0xFFu);  // on the front die
}

// A home screen may cut the installed page's icon to any shape that keeps the circle of 80 % of its side:
// the maskable icon fills its square, and outside that circle shows nothing but its background.
TEST(WebIcons, TheMaskableIconIsOpaqueWithItsDrawingInsideTheSafeCircle) {
    for (const int size : kWebIconSizes) {
        const Canvas icon = drawMaskableIcon(size);
        const std::uint32_t background = icon.argb(0, 0);
        const double centre = size / 2.0, safe = 0.4 * size;
        int drawn = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const std::uint32_t pixel = icon.argb(x, y);
                ASSERT_EQ(pixel >> 24, 0xFFu) << size << ": " << x << "," << y;
                const double dx = x + 0.5 - centre, dy = y + 0.5 - centre;
                if (dx * dx + dy * dy > safe * safe) {
                    ASSERT_EQ(pixel, background)
                        << size << ": " << x << "," << y << " is outside the safe circle";
                }
                drawn += pixel != background;
            }
        }
        EXPECT_GT(drawn, size * size / 8) << size << ": the dice are missing or tiny";
    }
    const Canvas plain = drawIcon(kWebIconSizes.front());
    EXPECT_EQ(plain.argb(0, 0) >> 24, 0u);  // the plain icon keeps its transparent surround
}

}  // namespace
}  // namespace zopp::pictures
