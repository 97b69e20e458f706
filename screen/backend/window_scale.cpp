#include "screen/backend/window_scale.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace zopp {

std::int32_t windowScale(const DesktopScale& desktop, std::int32_t screenWidth, std::int32_t screenHeight) {
    // Nearest with halves up: 1.5 is 2, 2.5 is 3. A scale that is no number counts as 1.
    const double nearest = std::floor(desktop.scale + 0.5);
    std::int32_t k = nearest >= 1.0 && nearest <= kMaxForcedScale ? static_cast<std::int32_t>(nearest) : 1;
    const auto fits = [&](std::int32_t factor) {
        return screenWidth * factor + desktop.frameWidth <= desktop.workWidth &&
               screenHeight * factor + desktop.frameHeight <= desktop.workHeight;
    };
    while (k > 1 && !fits(k))
        --k;
    return k;
}

std::optional<std::int32_t> forcedScale(std::string_view text) {
    std::int32_t k = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), k);
    if (error != std::errc{} || end != text.data() + text.size() || k < 1 || k > kMaxForcedScale)
        return std::nullopt;
    return k;
}

std::int32_t chooseWindowScale(const DesktopScale& desktop, std::int32_t screenWidth,
                               std::int32_t screenHeight) {
    const char* asked = std::getenv("ZOPP_SCALE");  // NOLINT(concurrency-mt-unsafe): nothing sets it
    if (asked != nullptr) {
        if (const std::optional<std::int32_t> k = forcedScale(asked)) return *k;
    }
    return windowScale(desktop, screenWidth, screenHeight);
}

}  // namespace zopp
