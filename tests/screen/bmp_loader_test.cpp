#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

#include "harness/support/bmp_builder.h"
#include "harness/support/memory_screen_fixture.h"
#include "screen/images/bmp_loader.h"
#include "screen/images/image.h"
#include "screen/state/screen_state.h"

namespace zopp {
namespace {

using testing::BmpLayout;
using testing::buildBmp;

constexpr std::uint32_t kMagenta = 0xFFFF00FF;

std::uint32_t rgbAt(std::int32_t x, std::int32_t y) {
    return std::uint32_t(x * 5) << 16 | std::uint32_t(y * 5) << 8 | std::uint32_t(x + y);
}

BmpLayout trueColour(std::int32_t w, std::int32_t h) {
    BmpLayout s;
    s.width = w;
    s.height = h;
    s.pixel = rgbAt;
    return s;
}

class BitmapLoader : public testing::MemoryScreen {
  protected:
    void SetUp() override {
        MemoryScreen::SetUp();
        openMemoryScreen();
    }
    std::int32_t load(const std::vector<std::uint8_t>& file, ImageBytes destination,
                      std::uint32_t* paletteOut = nullptr) {
        return loadBitmap(testing::writeTempFile("load.bmp", file), destination, paletteOut);
    }
    // Every pixel of a 4-byte image: (x, y) → colour.
    template <typename F>
    void expectPixels(const Image& image, F expected) {
        for (std::int32_t y = 0; y < image.height(); ++y) {
            for (std::int32_t x = 0; x < image.width(); ++x) {
                ASSERT_EQ(image.pixel32(x, y), expected(x, y)) << "at " << x << "," << y;
            }
        }
    }
};

TEST_F(BitmapLoader, TrueColourBottomUpFillsImageOpaque) {
    auto image = createImage(50, 50);
    ASSERT_EQ(load(buildBmp(trueColour(50, 50)), image->bytes()), 0);
    expectPixels(*image, [](std::int32_t x, std::int32_t y) { return 0xFF000000u | rgbAt(x, y); });
}

TEST_F(BitmapLoader, LargerPictureIsCroppedAndTheRestStaysMagenta) {
    auto image = createImage(50, 50);
    ASSERT_EQ(load(buildBmp(trueColour(60, 40)), image->bytes()), 0);
    expectPixels(
        *image, [](std::int32_t x, std::int32_t y) { return y < 40 ? 0xFF000000u | rgbAt(x, y) : kMagenta; });
}

TEST_F(BitmapLoader, ATallerPictureWritesNoRowPastTheDestination) {
    std::vector<std::uint8_t> block(32 + 2 * 16 + 16, 0xAB);  // a 2x2 image, then a row's worth of guard
    writeImageHeader(block.data(), 4, 2, 2);
    ASSERT_EQ(load(buildBmp(trueColour(2, 3)), block), 0);
    EXPECT_EQ(std::count(block.end() - 16, block.end(), 0xAB), 16);
}

TEST_F(BitmapLoader, TopDownRowsKeepTheirOrder) {
    auto image = createImage(7, 5);
    auto layout = trueColour(7, -5);
    ASSERT_EQ(load(buildBmp(layout), image->bytes()), 0);
    expectPixels(*image, [](std::int32_t x, std::int32_t y) { return 0xFF000000u | rgbAt(x, y); });
}

TEST_F(BitmapLoader, ShortPaletteLeavesHighIndicesToTheScreenPalette) {
    BmpLayout layout;
    layout.width = 16;
    layout.height = 2;
    layout.bitCount = 8;
    for (std::uint32_t i = 0; i < 16; ++i)
        layout.palette.push_back(0x010203 * (i + 1));
    layout.pixel = [](std::int32_t x, std::int32_t y) {
        return y == 0 ? std::uint32_t(x) : std::uint32_t(240 + x);
    };
    auto image = createImage(16, 2);
    ASSERT_EQ(load(buildBmp(layout), image->bytes()), 0);
    expectPixels(*image, [](std::int32_t x, std::int32_t y) {
        return y == 0 ? 0xFF000000u | (0x010203u * std::uint32_t(x + 1)) : 0xFF000000u;
    });
    EXPECT_EQ(currentScreen()->palette[3], 0x010203u * 4);  // the file's entries now belong to the screen
    EXPECT_EQ(currentScreen()->palette[16], 0u);
}

TEST_F(BitmapLoader, ShortPaletteReusesEntriesAnEarlierFileLeft) {
    BmpLayout full;
    full.bitCount = 8;
    for (std::uint32_t i = 0; i < 256; ++i)
        full.palette.push_back(0x000100 * i + 0x40);
    BmpLayout partial;
    partial.bitCount = 8;
    partial.width = 2;
    partial.palette = {0xABCDEF};
    partial.pixel = [](std::int32_t x, std::int32_t) { return x == 0 ? 0u : 200u; };
    auto image = createImage(2, 1);
    ASSERT_EQ(load(buildBmp(full), image->bytes()), 0);
    ASSERT_EQ(load(buildBmp(partial), image->bytes()), 0);
    EXPECT_EQ(image->pixel32(0, 0), 0xFFABCDEFu);
    EXPECT_EQ(image->pixel32(1, 0), 0xFF000000u | (0x000100u * 200 + 0x40));
}

TEST_F(BitmapLoader, PaletteOutGetsSixBitChannelsAndScreenPaletteStays) {
    BmpLayout layout;
    layout.bitCount = 1;
    layout.palette = {0x000000, 0xFC8040};
    std::uint32_t out[256] = {};
    auto image = createImage(1, 1);
    ASSERT_EQ(load(buildBmp(layout), image->bytes(), out), 0);
    EXPECT_EQ(out[1], (0x3Fu << 16) | (0x20u << 8) | 0x10u);
    EXPECT_EQ(currentScreen()->palette[1], 0u);
}

TEST_F(BitmapLoader, PackedIndicesUnpackMostSignificantFirstWithRowPadding) {
    for (const std::uint16_t bits : {1, 2, 3, 4}) {
        BmpLayout layout;
        layout.width = 37;  // rows end mid-byte and need padding
        layout.height = 3;
        layout.bitCount = bits;
        layout.dataOffset = 0;  // the rows follow the full palette
        for (std::uint32_t i = 0; i < (1u << bits); ++i)
            layout.palette.push_back(0x100000 * i + 7);
        layout.pixel = [bits](std::int32_t x, std::int32_t y) {
            return std::uint32_t(x * 3 + y) % (1u << bits);
        };
        auto image = createImage(37, 3);
        ASSERT_EQ(load(buildBmp(layout), image->bytes()), 0) << bits;
        expectPixels(*image, [bits](std::int32_t x, std::int32_t y) {
            return 0xFF000000u | (0x100000u * (std::uint32_t(x * 3 + y) % (1u << bits)) + 7);
        });
    }
}

TEST_F(BitmapLoader, CoreHeaderUsesThreeBytePaletteEntries) {
    BmpLayout layout;
    layout.headerSize = 12;
    layout.width = 4;
    layout.height = 2;
    layout.bitCount = 4;
    layout.palette = {0x112233, 0x445566, 0x778899};
    layout.pixel = [](std::int32_t x, std::int32_t) { return std::uint32_t(x % 3); };
    auto image = createImage(4, 2);
    ASSERT_EQ(load(buildBmp(layout), image->bytes()), 0);
    const std::uint32_t colours[] = {0xFF112233, 0xFF445566, 0xFF778899};
    expectPixels(*image, [&](std::int32_t x, std::int32_t) { return colours[x % 3]; });
}

TEST_F(BitmapLoader, SixteenBitDefaultsToFiveFiveFiveWidenedByRepeatingHighBits) {
    BmpLayout layout;
    layout.bitCount = 16;
    layout.width = 2;
    layout.pixel = [](std::int32_t x, std::int32_t) {
        return x == 0 ? 0x7FFFu : (0x10u << 10) | (0x01u << 5) | 0x1Fu;
    };
    auto image = createImage(2, 1);
    ASSERT_EQ(load(buildBmp(layout), image->bytes()), 0);
    EXPECT_EQ(image->pixel32(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(image->pixel32(1, 0), 0xFF000000u | (0x84u << 16) | (0x08u << 8) | 0xFFu);
}

TEST_F(BitmapLoader, BitFieldsFollowTheirMasks) {
    BmpLayout layout;
    layout.bitCount = 16;
    layout.compression = 3;
    layout.width = 1;
    layout.masks[0] = 0xF800, layout.masks[1] = 0x07E0, layout.masks[2] = 0x001F;
    layout.pixel = [](std::int32_t, std::int32_t) { return (0x1Fu << 11) | (0x20u << 5) | 0x00u; };
    auto image = createImage(1, 1);
    ASSERT_EQ(load(buildBmp(layout), image->bytes()), 0);
    EXPECT_EQ(image->pixel32(0, 0), 0xFFFF8200u);
    // Three bytes, one channel's mask on another channel's byte: red, green, blue masks and the pixel shown.
    layout.bitCount = 24;
    layout.pixel = [](std::int32_t, std::int32_t) { return 0x123456u; };
    for (const auto& [red, green, blue, shown] : {std::array{0x0000FFu, 0x00FF00u, 0x0000FFu, 0xFF563456u},
                                                  {0xFF0000u, 0x0000FFu, 0x0000FFu, 0xFF125656u},
                                                  {0xFF0000u, 0x00FF00u, 0x00FF00u, 0xFF123434u}}) {
        layout.masks[0] = red, layout.masks[1] = green, layout.masks[2] = blue;
        ASSERT_EQ(load(buildBmp(layout), image->bytes()), 0);
        EXPECT_EQ(image->pixel32(0, 0), shown) << red << " " << green << " " << blue;
    }
}

TEST_F(BitmapLoader, AlphaComesFromALongHeadersMaskOnly) {
    BmpLayout layout;
    layout.bitCount = 32;
    layout.headerSize = 108;
    layout.compression = 3;
    layout.masks[0] = 0x00FF0000, layout.masks[1] = 0x0000FF00, layout.masks[2] = 0x000000FF,
    layout.masks[3] = 0xFF000000;
    layout.pixel = [](std::int32_t, std::int32_t) { return 0x40A0B0C0u; };
    auto image = createImage(1, 1);
    ASSERT_EQ(load(buildBmp(layout), image->bytes()), 0);
    EXPECT_EQ(image->pixel32(0, 0), 0x40A0B0C0u);
    layout.headerSize = 40;  // three masks after the header, no alpha
    ASSERT_EQ(load(buildBmp(layout), image->bytes()), 0);
    EXPECT_EQ(image->pixel32(0, 0), 0xFFA0B0C0u);
}

TEST_F(BitmapLoader, DegenerateMasksGiveDefinedChannels) {
    BmpLayout layout;
    layout.bitCount = 32;
    layout.compression = 3;
    layout.masks[0] = 0, layout.masks[1] = 0xFFFFFFFF, layout.masks[2] = 0x80000000;
    layout.pixel = [](std::int32_t, std::int32_t) { return 0x9A000000u; };
    auto image = createImage(1, 1);
    ASSERT_EQ(load(buildBmp(layout), image->bytes()), 0);
    EXPECT_EQ(image->pixel32(0, 0), 0xFF009A80u);  // red none, green its top 8 bits, 1-bit blue shifted up
}

TEST_F(BitmapLoader, SmallerDestinationsGetFiveSixFiveOrMaskedIndices) {
    BmpLayout orange = trueColour(2, 1);
    orange.pixel = [](std::int32_t x, std::int32_t) { return x == 1 ? 0xFF8040u : 0u; };
    auto two = createImage(2, 1, 0, 16);
    ASSERT_EQ(load(buildBmp(orange), two->bytes()), 0);
    std::uint16_t v;
    std::memcpy(&v, two->bytes().data() + 32 + 2, 2);
    EXPECT_EQ(v, 0xFC08);  // 11111 100000 01000

    BmpLayout indexed;
    indexed.bitCount = 8;
    indexed.width = 2;
    indexed.pixel = [](std::int32_t x, std::int32_t) { return std::uint32_t(200 + x); };
    auto one = createImage(2, 1, 0, 8);
    ASSERT_EQ(load(buildBmp(indexed), one->bytes()), 0);
    EXPECT_EQ(one->bytes()[32], 200);
    EXPECT_EQ(one->bytes()[33], 201);
    EXPECT_EQ(load(buildBmp(trueColour(2, 1)), one->bytes()), 1);
}

TEST_F(BitmapLoader, LoadingIntoTheScreenMarksEveryLineDirty) {
    clearDirty();
    ASSERT_EQ(load(buildBmp(trueColour(3, 2)), kScreen), 0);
    EXPECT_EQ(screenPixel(2, 1), 0xFF000000u | rgbAt(2, 1));
    EXPECT_TRUE(lineDirty(0));
    EXPECT_TRUE(lineDirty(479));
}

TEST_F(BitmapLoader, BackslashSeparatesFolders) {
    auto path = testing::writeTempFile("slashes.bmp", buildBmp(trueColour(1, 1)));
    std::replace(path.begin(), path.end(), '/', '\\');
    auto image = createImage(1, 1);
    EXPECT_EQ(loadBitmap(path, image->bytes()), 0);
    EXPECT_EQ(image->pixel32(0, 0), 0xFF000000u | rgbAt(0, 0));
}

TEST_F(BitmapLoader, NamesAreCutAfter259Characters) {
    const std::string path = testing::writeTempFile("cut.bmp", buildBmp(trueColour(1, 1)));
    ASSERT_LT(path.size(), 259u);
    const std::size_t name = path.find_last_of("/\\") + 1;
    // Separators padding the folder up to a 259-character path, and more after it.
    const std::string padded = path.substr(0, name) + std::string(259 - path.size(), '/') + path.substr(name);
    auto image = createImage(1, 1);
    EXPECT_EQ(loadBitmap(padded + ".more", image->bytes()), 0);
    EXPECT_EQ(image->pixel32(0, 0), 0xFF000000u | rgbAt(0, 0));
}

TEST_F(BitmapLoader, RawMemoryGetsAHeaderOnlyWhenThePictureFits) {
    std::vector<std::uint8_t> raw(32 + 16 * 2, 0);
    ASSERT_EQ(load(buildBmp(trueColour(3, 2)), raw), 0);
    const auto info = readImageHeader(raw, 4);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->width, 3);
    EXPECT_EQ(info->pitch, 16);
    std::vector<std::uint8_t> small(32 + 16 * 2 - 1, 0);
    EXPECT_EQ(load(buildBmp(trueColour(3, 2)), small), 1);
    EXPECT_TRUE(std::all_of(small.begin(), small.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST_F(BitmapLoader, RawDumpsCopyIntoTheDestinationWithinItsBytes) {
    std::vector<std::uint8_t> raw(8, 0);
    EXPECT_EQ(load({0xFD, 9, 9, 9, 9, 3, 0, 1, 2, 3}, raw), 0);
    EXPECT_EQ(raw[2], 3);
    EXPECT_EQ(load({0xFE, 2, 0, 0, 0, 7, 8}, raw), 0);
    EXPECT_EQ(raw[1], 8);
    EXPECT_EQ(raw[2], 3);
    EXPECT_EQ(load({0xFE, 9, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, raw), 1);  // longer than the destination
    EXPECT_EQ(raw[0], 7);
    EXPECT_EQ(load({0xFD, 0, 0, 0, 0, 5, 0, 4, 4}, raw), 3);  // shorter than it says
    EXPECT_EQ(raw[1], 4);
}

TEST_F(BitmapLoader, ErrorCodesForMissingAndForeignFiles) {
    auto image = createImage(4, 4);
    EXPECT_EQ(loadBitmap("no/such/file.bmp", image->bytes()), 2);
    EXPECT_EQ(load({'h', 'e', 'l', 'l', 'o'}, image->bytes()), 3);
    EXPECT_EQ(load({'B', 'A', 0, 0, 0, 0}, image->bytes()), 3);
    EXPECT_EQ(load({}, image->bytes()), 3);
}

TEST(BitmapLoaderWithoutScreen, NeedsAScreenForTheScreenAndForBitmaps) {
    EXPECT_EQ(loadBitmap("no/such/file.bmp", kScreen), 1);
    std::vector<std::uint8_t> raw(256, 0);
    EXPECT_EQ(loadBitmap(testing::writeTempFile("noscreen.bmp", buildBmp(trueColour(1, 1))), raw), 1);
    EXPECT_EQ(loadBitmapBytes(std::vector<std::uint8_t>{0xFE, 1, 0, 0, 0, 42}, raw, nullptr),
              0);  // dumps need none
    EXPECT_EQ(raw[0], 42);
}

// Header classes that broke other loaders: each must give 3 and leave the image alone.
TEST_F(BitmapLoader, RejectsMalformedHeadersWithoutTouchingTheImage) {
    auto image = createImage(8, 8);
    auto expectRejected = [&](BmpLayout layout, const char* what) {
        EXPECT_EQ(load(buildBmp(layout), image->bytes()), 3) << what;
    };
    auto base = [] { return trueColour(8, 8); };
    auto s = base();
    s.compression = 4;
    expectRejected(s, "compression 4");
    s = base();
    s.height = -8;
    s.compression = 1;
    s.bitCount = 8;
    expectRejected(s, "top-down run-length");
    s = base();
    s.compression = 1;
    s.bitCount = 8;
    expectRejected(s, "bottom-up run-length");
    s = base();
    s.compression = 2;
    s.bitCount = 4;
    expectRejected(s, "4-bit run-length");
    s = base();
    s.width = 0;
    expectRejected(s, "width 0");
    s = base();
    s.width = -3;
    expectRejected(s, "negative width");
    s = base();
    s.height = 0;
    expectRejected(s, "height 0");
    s = base();
    s.planes = 2;
    expectRejected(s, "two planes");
    s = base();
    s.bitCount = 0;
    expectRejected(s, "bit count 0");
    s = base();
    s.bitCount = 33;
    expectRejected(s, "bit count 33");
    s = base();
    s.headerSize = 13;
    expectRejected(s, "header of 13 bytes");

    auto farOffset = buildBmp(base());
    const std::uint32_t offset = 1 << 20;
    std::memcpy(farOffset.data() + 10, &offset, 4);
    EXPECT_EQ(load(farOffset, image->bytes()), 3) << "pixel data beyond the end";

    auto intMin = buildBmp(base());
    const std::int32_t minHeight = INT_MIN;
    std::memcpy(intMin.data() + 22, &minHeight, 4);
    EXPECT_EQ(load(intMin, image->bytes()), 3) << "INT_MIN height";

    auto noMasks = base();
    noMasks.compression = 3;
    auto file = buildBmp(noMasks);
    file.resize(14 + 40 + 8);  // masks cut off
    EXPECT_EQ(load(file, image->bytes()), 3) << "missing masks";

    auto shortHeader = buildBmp(base());
    shortHeader.resize(30);
    EXPECT_EQ(load(shortHeader, image->bytes()), 3) << "header cut off";

    BmpLayout palette8;
    palette8.bitCount = 8;
    palette8.dataOffset = 14 + 40 + 1024;  // claims a full table the file does not hold
    auto cut = buildBmp(palette8);
    cut.resize(14 + 40 + 100);
    EXPECT_EQ(load(cut, image->bytes()), 3) << "palette cut off";

    expectPixels(*image, [](std::int32_t, std::int32_t) { return kMagenta; });
}

TEST_F(BitmapLoader, HugeDimensionsFailOnTheMissingRowsWithoutAllocating) {
    auto image = createImage(8, 8);
    for (const auto& [w, h] :
         {std::pair{0x7FFFFFFF, 0x7FFFFFFF}, {0x40000000, 4}, {4, -0x7FFFFFFF}, {0xFFFF, 0xFFFF}}) {
        auto layout = trueColour(1, 1);
        layout.bitCount = 32;
        auto file = buildBmp(layout);
        std::memcpy(file.data() + 18, &w, 4);
        std::memcpy(file.data() + 22, &h, 4);
        EXPECT_EQ(load(file, image->bytes()), 3) << w << "x" << h;
    }
}

TEST_F(BitmapLoader, TruncatedRowsKeepWhatWasConverted) {
    auto file = buildBmp(trueColour(8, 8));
    file.resize(file.size() - 3 * 24 - 5);  // the top three rows and a bit are missing
    auto image = createImage(8, 8);
    EXPECT_EQ(load(file, image->bytes()), 3);
    EXPECT_EQ(screenLockDepth(), 0);  // released on the failure path too
    expectPixels(
        *image, [](std::int32_t x, std::int32_t y) { return y >= 4 ? 0xFF000000u | rgbAt(x, y) : kMagenta; });
}

TEST_F(BitmapLoader, OddPaletteClaimsStayInsideTheTable) {
    BmpLayout layout;
    layout.bitCount = 8;
    layout.width = 3;
    layout.palette = {0x0000FF, 0x00FF00};
    layout.pixel = [](std::int32_t x, std::int32_t) { return x == 0 ? 1u : 255u; };  // index past the table
    auto file = buildBmp(layout);
    const std::uint32_t coloursUsed = 1000000;
    std::memcpy(file.data() + 46, &coloursUsed, 4);
    auto image = createImage(3, 1);
    ASSERT_EQ(load(file, image->bytes()), 0);
    EXPECT_EQ(image->pixel32(0, 0), 0xFF00FF00u);
    EXPECT_EQ(image->pixel32(2, 0), 0xFF000000u);
}

}  // namespace
}  // namespace zopp
