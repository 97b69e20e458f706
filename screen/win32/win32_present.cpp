// Rows into the window as device-independent bitmaps, paint requests, and the shape of shaped windows.
#include <algorithm>
#include <vector>

#include "screen/backend/window_shape.h"
#include "screen/state/screen_state.h"
#include "screen/state/screen_values.h"
#include "screen/win32/win32_backend.h"

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

// Rows to the same lines of the window, at its factor.
void Win32Backend::transferRows(const ConvertedLines& rows, std::int32_t k) {
    if (dc_ == nullptr) return;
    const std::int32_t width = screen_->width;
    const BITMAPINFO info = linesBitmap(width, rows.count);
    // Each screen pixel a block of exactly its colour: the stretch drops or repeats pixels, never mixes
    // them.
    SetStretchBltMode(dc_, COLORONCOLOR);
    StretchDIBits(dc_, 0, rows.first * k, width * k, rows.count * k, 0, 0, width, rows.count, rows.pixels,
                  &info, DIB_RGB_COLORS, SRCCOPY);
}

void Win32Backend::finish() {
    GdiFlush();  // the rows reach the display now, not with the next batch
}

void Win32Backend::framePresented(std::int32_t k) {
    if (dc_ != nullptr && (flags_ & ScreenShaped)) updateShape(k);
}

// A paint request (the window uncovered, restored or first shown) goes to the loop, which marks its lines
// dirty: the next frame, which the lock's release wakes, shows them from the visible page.
void Win32Backend::repaint() {
    PAINTSTRUCT paint;
    BeginPaint(window_, &paint);
    if (translator_ != nullptr) translator_->areaExposed(paint.rcPaint.top, paint.rcPaint.bottom);
    EndPaint(window_, &paint);
}

// One rectangle per run of shown pixels in a line.
void Win32Backend::updateShape(std::int32_t k) {
    std::vector<RECT> runs;
    for (const ShapeRun& run : shapeRuns(*screen_))
        runs.push_back(RECT{run.first * k, run.y * k, run.end * k, (run.y + 1) * k});
    std::vector<std::uint8_t> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* region = reinterpret_cast<RGNDATA*>(data.data());
    region->rdh.dwSize = sizeof(RGNDATAHEADER);
    region->rdh.iType = RDH_RECTANGLES;
    region->rdh.nCount = static_cast<DWORD>(runs.size());
    region->rdh.rcBound = RECT{0, 0, screen_->width * k, screen_->height * k};
    std::copy(runs.begin(), runs.end(), reinterpret_cast<RECT*>(region->Buffer));
    const HRGN shape = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), region);
    // The window owns the region from here on.
    if (shape != nullptr && !SetWindowRgn(window_, shape, TRUE)) DeleteObject(shape);
}

}  // namespace zopp
