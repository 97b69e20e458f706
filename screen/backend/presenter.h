// What a window receives of the screen. The refresh loop walks the changed lines once per frame, converts
// them to the presenter's pixel layout and hands them over with the window's factor k; a presenter only
// transfers rows, keeping no converter and no factor of its own.
#pragma once

#include <cstddef>
#include <cstdint>

#include "screen/backend/window_lines.h"

namespace zopp {

// A frame hands over at most this many runs of rows, ascending and not overlapping.
inline constexpr std::size_t kMaxPresentSpans = 8;

class Presenter {
  public:
    virtual ~Presenter() = default;
    // The layout the window takes rows in; asked at the start of every frame that has rows.
    virtual PixelLayout pixelLayout() = 0;
    // Rows of the visible page in that layout, to the same lines of the window, each screen pixel a k × k
    // block of device pixels.
    virtual void transferRows(const ConvertedLines& rows, std::int32_t k) = 0;
    // The frame's rows are all transferred: show them.
    virtual void finish() {}
};

}  // namespace zopp
