// Conversion of frame-buffer lines to the window's pixel layout, for the back-ends.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "screen/state/screen_state.h"

namespace zopp {

// A packed RGB pixel layout: 2, 3 or 4 bytes a pixel, each channel 8 bits wide shifted right by its loss
// and left by its shift, and `setBits` set in every pixel (an opaque alpha where the target reads one).
struct PixelLayout {
    std::int32_t bytesPerPixel = 4;
    std::uint8_t redShift = 16, greenShift = 8, blueShift = 0;
    std::uint8_t redLoss = 0, greenLoss = 0, blueLoss = 0;
    std::uint32_t setBits = 0;

    // True when a 32-bit screen line can be copied unchanged (bytes B, G, R, then an ignored byte).
    bool matchesScreen32() const {
        return bytesPerPixel == 4 && redShift == 16 && greenShift == 8 && blueShift == 0 && redLoss == 0 &&
               greenLoss == 0 && blueLoss == 0 && setBits == 0;
    }
};

// The colour 0x00RRGGBB that a stored pixel shows: 32-bit pixels drop their alpha, 16-bit ones are
// 5-6-5, paletted ones (depth 8 and less) index the palette.
std::uint32_t shownColour(const ScreenState& screen, const std::uint8_t* pixel);

// Converts line y of the visible page into `out`, which holds width pixels of layout.
void convertLine(const ScreenState& screen, std::int32_t y, const PixelLayout& layout, std::uint8_t* out);

// Consecutive lines of the visible page in a back-end's layout, ready for its transfer.
struct ConvertedLines {
    std::int32_t first = 0;  // the screen line of the first row
    std::int32_t count = 0;
    const std::uint8_t* pixels = nullptr;  // the first row; the rows follow without gaps
};

// The walk every back-end's present makes: each span of lines, clipped to the screen, converted to the
// back-end's layout and handed to its transfer, which applies the window's factor. A 32-bit page already
// in that layout is handed over as it is, without a copy; other rows are converted into a buffer of the
// screen's size, each at its own line, which lives as long as the converter.
class LineConverter {
  public:
    explicit LineConverter(const PixelLayout& layout = {}) : layout_(layout) {}

    void setLayout(const PixelLayout& layout) { layout_ = layout; }

    // Lines first .. first + count - 1, which must lie on the screen.
    ConvertedLines convert(const ScreenState& screen, std::int32_t first, std::int32_t count);

    template <typename Transfer>
    void forEachSpan(const ScreenState& screen, std::span<const LineSpan> spans, Transfer&& transfer) {
        for (const LineSpan& span : spans) {
            const std::int32_t first = std::max(span.first, 0);
            const std::int32_t last = std::min(span.last, screen.height - 1);
            if (first <= last) transfer(convert(screen, first, last - first + 1));
        }
    }

  private:
    PixelLayout layout_;
    std::vector<std::uint8_t> rows_;
};

}  // namespace zopp
