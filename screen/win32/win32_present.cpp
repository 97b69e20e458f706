// Frame-buffer lines into the window as device-independent bitmaps, and the shape of shaped windows.
#include <algorithm>
#include <vector>

#include "screen/state/screen_state.h"
#include "screen/state/screen_values.h"
#include "screen/win32/win32_backend.h"
#include "screen/window/window_layout.h"
#include "screen/window/window_lines.h"

namespace zopp {

namespace {

// A top-down 32-bit bitmap `count` lines high: the bytes B, G, R and an ignored fourth, the screen's own
// layout at depth 32.
BITMAPINFO linesBitmap(std::int32_t width, std::int32_t count) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -count;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

// Converted lines to the same lines of the window, at its factor.
void Win32Backend::sendLines(HDC dc, const ConvertedLines& lines) {
    const std::int32_t width = screen_->width;
    const BITMAPINFO info = linesBitmap(width, lines.count);
    // Each screen pixel a block of exactly its colour: the stretch drops or repeats pixels, never mixes
    // them.
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 0, lines.first * scale_, width * scale_, lines.count * scale_, 0, 0, width, lines.count,
                  lines.pixels, &info, DIB_RGB_COLORS, SRCCOPY);
}

void Win32Backend::present(std::span<const LineSpan> spans) {
    if (dc_ == nullptr) return;
    if (gl_) {
        gl_->present(spans);
    } else {
        lines_.forEachSpan(*screen_, spans, [this](const ConvertedLines& lines) { sendLines(dc_, lines); });
        GdiFlush();  // the lines reach the display now, not with the next batch
    }
    if (flags_ & ScreenShaped) updateShape();
}

// A paint request (the window uncovered, restored or first shown) repaints the requested lines from the
// visible page.
void Win32Backend::repaint() {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window_, &paint);
    if (gl_) {
        gl_->redraw();
    } else if (dc != nullptr && screen_ != nullptr) {
        const std::int32_t first = std::clamp<std::int32_t>(paint.rcPaint.top / scale_, 0, screen_->height);
        const std::int32_t end =
            std::clamp<std::int32_t>((paint.rcPaint.bottom + scale_ - 1) / scale_, 0, screen_->height);
        if (first < end) sendLines(dc, lines_.convert(*screen_, first, end - first));
    }
    EndPaint(window_, &paint);
}

// One rectangle per run of shown pixels in a line.
void Win32Backend::updateShape() {
    std::vector<RECT> runs;
    for (const ShapeRun& run : shapeRuns(*screen_))
        runs.push_back(RECT{run.first * scale_, run.y * scale_, run.end * scale_, (run.y + 1) * scale_});
    std::vector<std::uint8_t> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* region = reinterpret_cast<RGNDATA*>(data.data());
    region->rdh.dwSize = sizeof(RGNDATAHEADER);
    region->rdh.iType = RDH_RECTANGLES;
    region->rdh.nCount = static_cast<DWORD>(runs.size());
    region->rdh.rcBound = RECT{0, 0, screen_->width * scale_, screen_->height * scale_};
    std::copy(runs.begin(), runs.end(), reinterpret_cast<RECT*>(region->Buffer));
    const HRGN shape = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), region);
    // The window owns the region from here on.
    if (shape != nullptr && !SetWindowRgn(window_, shape, TRUE)) DeleteObject(shape);
}

}  // namespace zopp
