#include "screen/backend/click_series.h"

#include <cstdlib>

namespace zopp {

namespace {

constexpr std::uint32_t kDoubleClickMs = 500;
constexpr std::int32_t kDoubleClickRadius = 32;

}  // namespace

std::int32_t ClickSeries::press(std::size_t button, std::uint32_t timeMs, std::int32_t x, std::int32_t y) {
    Last& last = last_[button];
    // Unsigned: a clock that wrapped between the presses still gives their distance.
    const bool continues = last.count > 0 && timeMs - last.time <= kDoubleClickMs &&
                           std::abs(x - last.x) <= kDoubleClickRadius &&
                           std::abs(y - last.y) <= kDoubleClickRadius;
    last.count = continues ? last.count + 1 : 1;
    last.time = timeMs;
    last.x = x;
    last.y = y;
    return last.count;
}

}  // namespace zopp
