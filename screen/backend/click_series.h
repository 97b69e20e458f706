// Which presses make a double click. Platforms report each press with its time and place; the rule of
// what makes a series is the same for all of them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zopp {

// A press continues a series of clicks when it follows the previous press of the same button within
// 500 ms and 32 screen pixels each way.
class ClickSeries {
  public:
    // button: 0..4; timeMs: the platform's time of the press (any origin, may wrap); (x, y): its desktop
    // position in screen pixels. Returns the press's count in its series, from 1.
    std::int32_t press(std::size_t button, std::uint32_t timeMs, std::int32_t x, std::int32_t y);

  private:
    struct Last {
        std::uint32_t time = 0;
        std::int32_t x = 0, y = 0;
        std::int32_t count = 0;  // presses in the series so far; 0 before the first
    };
    std::array<Last, 5> last_{};
};

}  // namespace zopp
