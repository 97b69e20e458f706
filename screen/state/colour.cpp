#include "screen/state/colour.h"

namespace zopp {

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

}  // namespace zopp
