#include "screen/images/bitmap_rows.h"

#include <cstring>

namespace zopp {

namespace {

enum class Stored { Indexed, Word, Triple, Quad };

// Palette index of pixel i, packed most significant bits first; bit counts that do not divide 8 may
// straddle a byte boundary.
std::uint32_t indexAt(const std::uint8_t* row, std::int32_t i, std::int32_t bits) {
    const std::uint64_t first = std::uint64_t(i) * std::uint64_t(bits);
    if (8 % bits == 0) {
        const auto shift = 8 - bits - static_cast<std::int32_t>(first & 7);
        return (row[first >> 3] >> shift) & ((1u << bits) - 1);
    }
    std::uint32_t index = 0;
    for (std::int32_t b = 0; b < bits; ++b) {
        const std::uint64_t bit = first + std::uint64_t(b);
        index = (index << 1) | ((row[bit >> 3] >> (7 - (bit & 7))) & 1u);
    }
    return index;
}

std::uint32_t pack565(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
}

// The pixel as 0xAARRGGBB (alpha 0xFF unless the 32-bit source carries an alpha channel).
template <Stored kind>
std::uint32_t argbAt(const ConvertSource& s, const std::uint8_t* row, std::int32_t i) {
    const BitmapHeader& h = *s.header;
    std::uint32_t v = 0;
    if constexpr (kind == Stored::Indexed) {
        return 0xFF000000u | (s.palette[indexAt(row, i, h.bitCount)] & 0xFFFFFF);
    } else if constexpr (kind == Stored::Word) {
        const std::uint8_t* p = row + std::size_t(i) * 2;
        v = p[0] | (std::uint32_t{p[1]} << 8);
    } else if constexpr (kind == Stored::Triple) {
        const std::uint8_t* p = row + std::size_t(i) * 3;
        v = p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
    } else {
        const std::uint8_t* p = row + std::size_t(i) * 4;
        v = p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
    }
    const std::uint32_t a = (kind == Stored::Quad && h.hasAlpha) ? h.alpha.extract(v) : 0xFF;
    return (a << 24) | (h.red.extract(v) << 16) | (h.green.extract(v) << 8) | h.blue.extract(v);
}

// Plain blue, green, red bytes: the channels are the bytes themselves, so no widening is needed.
bool plainTriple(const BitmapHeader& h) {
    return h.red.shift == 16 && h.red.bits == 8 && h.green.shift == 8 && h.green.bits == 8 &&
           h.blue.shift == 0 && h.blue.bits == 8;
}

template <Stored kind>
void toFourBytes(const ConvertSource& s, const std::uint8_t* row, std::uint8_t* target, std::int32_t count) {
    if constexpr (kind == Stored::Triple) {
        if (plainTriple(*s.header)) {
            for (std::int32_t i = 0; i < count; ++i, row += 3, target += 4) {
                target[0] = row[0];
                target[1] = row[1];
                target[2] = row[2];
                target[3] = 0xFF;
            }
            return;
        }
    }
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint32_t c = argbAt<kind>(s, row, i);
        std::memcpy(target + std::size_t(i) * 4, &c, 4);
    }
}

template <Stored kind>
void toTwoBytes(const ConvertSource& s, const std::uint8_t* row, std::uint8_t* target, std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint32_t c = argbAt<kind>(s, row, i);
        const auto v = static_cast<std::uint16_t>(pack565((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF));
        std::memcpy(target + std::size_t(i) * 2, &v, 2);
    }
}

void indicesToOneByte(const ConvertSource& s, const std::uint8_t* row, std::uint8_t* target,
                      std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) {
        target[i] = static_cast<std::uint8_t>(indexAt(row, i, s.header->bitCount) & s.colourMask);
    }
}

// Destinations reaching here hold 2 or 4 bytes per pixel.
template <Stored kind>
RowConverter forDestination(std::int32_t destinationBytes) {
    return destinationBytes == 4 ? toFourBytes<kind> : toTwoBytes<kind>;
}

}  // namespace

RowConverter pickRowConverter(std::int32_t bitCount, std::int32_t destinationBytes) {
    if (bitCount <= 8)
        return destinationBytes == 1 ? indicesToOneByte : forDestination<Stored::Indexed>(destinationBytes);
    if (destinationBytes == 1) return nullptr;  // direct colours have no index
    if (bitCount <= 16) return forDestination<Stored::Word>(destinationBytes);
    if (bitCount <= 24) return forDestination<Stored::Triple>(destinationBytes);
    return forDestination<Stored::Quad>(destinationBytes);
}

}  // namespace zopp
