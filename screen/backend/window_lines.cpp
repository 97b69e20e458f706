#include "screen/backend/window_lines.h"

#include <cstring>

#include "screen/state/colour.h"

namespace zopp {

std::uint32_t shownColour(const ScreenState& screen, const std::uint8_t* pixel) {
    switch (screen.bytesPerPixel) {
        case 4: {
            std::uint32_t v;
            std::memcpy(&v, pixel, 4);
            return v & 0xFFFFFF;
        }
        case 2: {
            std::uint16_t v;
            std::memcpy(&v, pixel, 2);
            return (widenChannel((v >> 11) & 0x1F, 5) << 16) | (widenChannel((v >> 5) & 0x3F, 6) << 8) |
                   widenChannel(v & 0x1F, 5);
        }
        default:
            return screen.palette[*pixel & screen.colourMask] & 0xFFFFFF;
    }
}

void convertLine(const ScreenState& screen, std::int32_t y, const PixelLayout& layout, std::uint8_t* out) {
    const std::uint8_t* in =
        screen.visiblePixels() + static_cast<std::size_t>(y) * static_cast<std::size_t>(screen.pitch);
    if (screen.bytesPerPixel == 4 && layout.matchesScreen32()) {
        std::memcpy(out, in, static_cast<std::size_t>(screen.pitch));
        return;
    }
    const auto outBytes = static_cast<std::size_t>(layout.bytesPerPixel);
    for (std::int32_t x = 0; x < screen.width; ++x, in += screen.bytesPerPixel, out += outBytes) {
        const std::uint32_t rgb = shownColour(screen, in);
        const std::uint32_t packed = (((rgb >> 16) & 0xFF) >> layout.redLoss << layout.redShift) |
                                     (((rgb >> 8) & 0xFF) >> layout.greenLoss << layout.greenShift) |
                                     ((rgb & 0xFF) >> layout.blueLoss << layout.blueShift) | layout.setBits;
        std::memcpy(out, &packed, outBytes);  // little-endian: the low bytes are the pixel
    }
}

ConvertedLines LineConverter::convert(const ScreenState& screen, std::int32_t first, std::int32_t count) {
    const auto pitch = static_cast<std::size_t>(screen.pitch);
    if (screen.bytesPerPixel == 4 && layout_.matchesScreen32())
        return {first, count, screen.visiblePixels() + static_cast<std::size_t>(first) * pitch};
    const auto rowBytes =
        static_cast<std::size_t>(screen.width) * static_cast<std::size_t>(layout_.bytesPerPixel);
    rows_.resize(rowBytes * static_cast<std::size_t>(screen.height));
    for (std::int32_t y = first; y < first + count; ++y)
        convertLine(screen, y, layout_, rows_.data() + static_cast<std::size_t>(y) * rowBytes);
    return {first, count, rows_.data() + static_cast<std::size_t>(first) * rowBytes};
}

}  // namespace zopp
