#include "screen/backend/window_shape.h"

namespace zopp {

std::vector<ShapeRun> shapeRuns(const ScreenState& screen) {
    std::vector<ShapeRun> runs;
    const auto& page = screen.pages[static_cast<std::size_t>(screen.visiblePage)];
    for (std::int32_t y = 0; y < screen.height; ++y) {
        const std::uint8_t* line =
            page.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(screen.pitch);
        std::int32_t start = -1;
        for (std::int32_t x = 0; x <= screen.width; ++x) {
            const bool shown = x < screen.width &&
                               (screen.bytesPerPixel != 4 || line[4 * static_cast<std::size_t>(x) + 3] != 0);
            if (shown && start < 0) start = x;
            if (!shown && start >= 0) {
                runs.push_back(ShapeRun{y, start, x});
                start = -1;
            }
        }
    }
    return runs;
}

}  // namespace zopp
