// The headers of a BMP file: file header, info header (core or longer), channel masks and colour table,
// each read through a bounds-checked reader and validated in one place.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace zopp {

// A channel's mask as the pixel converters use it: the mask shifted down to bit 0 and its bit count
// (lowest to highest set bit). A zero mask yields a channel that is always 0.
struct ChannelMask {
    std::uint32_t shifted = 0;
    std::int32_t shift = 0;
    std::int32_t bits = 0;

    static ChannelMask from(std::uint32_t mask);
    // The channel of a pixel value widened to 8 bits.
    std::uint32_t extract(std::uint32_t value) const;
};

struct BitmapHeader {
    std::uint64_t dataOffset = 0;  // where the first stored row starts
    std::uint32_t headerSize = 0;
    bool core = false;  // 12-byte header: 3-byte colour table entries
    std::int32_t width = 0;
    std::int32_t height = 0;  // always positive; topDown gives the row order
    bool topDown = false;
    std::int32_t bitCount = 0;
    std::uint32_t compression = 0;
    ChannelMask red, green, blue, alpha;
    bool hasAlpha = false;  // an alpha mask other than 0 was given

    // Bytes of one stored row: packed bits padded to 4 bytes below 8 bits, whole pixels of
    // (bitCount + 7) / 8 bytes padded to 4 bytes from 8 bits on.
    std::uint64_t rowBytes() const;
};

// Colour table entries as 0x00RRGGBB; count ≤ 2^bitCount.
struct BitmapPalette {
    std::array<std::uint32_t, 256> entries{};
    std::int32_t count = 0;
};

// Reads everything before the pixel rows from the start of file. nullopt for any malformed, truncated or
// unsupported header (the loader's "file I/O error").
std::optional<BitmapHeader> readBitmapHeader(std::span<const std::uint8_t> file);
std::optional<BitmapPalette> readBitmapPalette(std::span<const std::uint8_t> file,
                                               const BitmapHeader& header);

}  // namespace zopp
