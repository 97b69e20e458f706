// Images: off-screen pixel blocks with a fixed 32-byte header, and the bitmap loader.
//
// Block layout (little-endian): type 7, bytesPerPixel (1, 2, 4), width, height, pitch (width ×
// bytesPerPixel rounded up to 16), 12 reserved bytes, then height rows of pitch bytes. An older 4-byte
// header is also read: a 16-bit word with bytesPerPixel in bits 0-2 (0 = the screen's) and the width in
// bits 3-15, a 16-bit height, pixels at offset 4 with pitch width × bytesPerPixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "screen/state/screen_values.h"

namespace zopp {

// Every operation takes an image as the bytes it owns, so no header can make it reach past them.
// An empty span stands for "no image", which for a target means the screen.
using ImageBytes = std::span<std::uint8_t>;
using ConstImageBytes = std::span<const std::uint8_t>;
inline constexpr ImageBytes kScreen{};

inline constexpr std::int32_t kImageType = 7;
inline constexpr std::size_t kImageHeaderBytes = 32;

// One image block with its owner.
class Image {
  public:
    explicit Image(std::size_t bytes);
    ImageBytes bytes() { return {block_.get(), size_}; }
    ConstImageBytes bytes() const { return {block_.get(), size_}; }
    std::int32_t width() const;
    std::int32_t height() const;
    std::int32_t bytesPerPixel() const;
    std::int32_t pitch() const;
    // Pixel (x, y) of a 4-byte image as 0xAARRGGBB.
    std::uint32_t pixel32(std::int32_t x, std::int32_t y) const;

  private:
    std::unique_ptr<std::uint8_t[]> block_;
    std::size_t size_;
};
using ImagePtr = std::unique_ptr<Image>;

// The header of an image block, checked against the block's size.
struct ImageInfo {
    std::int32_t bytesPerPixel;
    std::int32_t width, height, pitch;
    std::size_t pixelOffset;  // 32 for type 7, 4 for the older header
};
// Reads either header; nullopt unless the header is sound and its rows fit in the block. screenBytes
// replaces bytesPerPixel 0 of the older header.
std::optional<ImageInfo> readImageHeader(ConstImageBytes block, std::int32_t screenBytesPerPixel);

// width × bytesPerPixel rounded up to a multiple of 16 bytes.
std::int32_t imagePitch(std::int32_t width, std::int32_t bytesPerPixel);
// Writes type 7, bytesPerPixel, width, height and the rounded pitch into the first 20 bytes of block.
void writeImageHeader(std::uint8_t* block, std::int32_t bytesPerPixel, std::int32_t width,
                      std::int32_t height);

// Null without a screen, for a non-positive size, or a depth that is not 1, 2 or 4 bytes. Depth ≤ 0 is
// the screen's. With DEFAULT_COLOR in flags the fill is 0 / 0xF81F / 0xFFFF00FF by pixel size;
// otherwise colour (0xRRGGBB, packed to 5-6-5 for 2 bytes).
ImagePtr createImage(std::int32_t width, std::int32_t height, std::uint32_t colour = 0,
                     std::int32_t depth = 0, std::int32_t flags = DEFAULT_COLOR);
void destroyImage(ImagePtr image);

// Loads a BMP file (or a raw dump) into destination (kScreen = the screen), cropped to it; the picture's
// top-left corner lands on the destination's. Both '/' and '\' separate folders. Reads 1 to 32 bits per
// pixel (below 8 packed most significant first, rows padded to 4 bytes), plain or bit-field rows; refuses
// run-length data and files over 64 MiB. paletteOut (256 entries) receives the colour table with 6-bit
// channels instead of the screen palette. Destination bytes without an image header get one, only if the
// whole picture fits. Returns 0, 1 (illegal call or no room), 2 (file not found) or 3 (bad or short
// file; rows already converted stay).
std::int32_t loadBitmap(std::string_view fileName, ImageBytes destination,
                        std::uint32_t* paletteOut = nullptr);

}  // namespace zopp
