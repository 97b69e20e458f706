#include "screen/state/colour.h"

#include <cstring>

namespace zopp {

namespace {

// The size is known to the compiler, so each copy is a single store (and the loop a vector one).
template <std::size_t Bytes>
void fillWith(std::uint8_t* pixels, std::size_t count, std::uint32_t value) {
    for (std::size_t i = 0; i < count; ++i)
        std::memcpy(pixels + i * Bytes, &value, Bytes);
}

}  // namespace

std::uint32_t convertColour(std::uint32_t colour, std::int32_t bytesPerPixel) {
    switch (bytesPerPixel) {
        case 4:
            return colour;
        case 2:
            return ((colour >> 3) & 0x1F) | ((colour >> 5) & 0x7E0) | ((colour >> 8) & 0xF800);
        default:
            return colour & 0xFF;
    }
}

std::uint32_t widenChannel(std::uint32_t value, std::int32_t bits) {
    if (bits > 8) return (value >> (bits - 8)) & 0xFF;
    if (bits >= 4) return ((value << (8 - bits)) | (value >> (2 * bits - 8))) & 0xFF;
    return (value << (8 - bits)) & 0xFF;
}

void fillPixels(std::uint8_t* pixels, std::size_t count, std::int32_t bytesPerPixel, std::uint32_t value) {
    switch (bytesPerPixel) {
        case 4:
            fillWith<4>(pixels, count, value);
            break;
        case 2:
            fillWith<2>(pixels, count, value);
            break;
        default:
            std::memset(pixels, static_cast<int>(value & 0xFF), count);
            break;
    }
}

}  // namespace zopp
