#include "screen/web/canvas_lines.h"

#include <cstring>

#include "screen/window/window_lines.h"

namespace zopp {

void canvasLine(const ScreenState& screen, std::int32_t y, std::uint8_t* out) {
    const std::uint8_t* in = screen.pages[static_cast<std::size_t>(screen.visiblePage)].data() +
                             static_cast<std::size_t>(y) * static_cast<std::size_t>(screen.pitch);
    for (std::int32_t x = 0; x < screen.width; ++x, in += screen.bytesPerPixel, out += 4) {
        const std::uint32_t colour = shownColour(screen, in);  // 0x00RRGGBB
        out[0] = static_cast<std::uint8_t>(colour >> 16);
        out[1] = static_cast<std::uint8_t>(colour >> 8);
        out[2] = static_cast<std::uint8_t>(colour);
        out[3] = 0xFF;
    }
}

}  // namespace zopp
