// The drawing context: which target drawing goes to, its clip rectangle, colours, pen and pixel routines.
// Reset lazily by the first operation after a new screen was opened.
#pragma once

#include <cstddef>
#include <cstdint>

#include "screen/images/image.h"
#include "screen/state/screen_state.h"

namespace zopp {

struct DrawContext {
    std::int32_t screenId = -1;  // the screen this context was reset for

    std::uint8_t* pixels = nullptr;  // first pixel of the target
    bool targetIsScreen = true;
    std::int32_t bytesPerPixel = 0, pitch = 0, width = 0, height = 0;
    Rect clip;
    Rect screenView;  // the screen's graphics view: the clip whenever the screen is the target

    std::uint32_t foreground = 0, background = 0;
    float penX = 0, penY = 0;
    bool alphaDrawing = false;  // the screen's alpha-drawing flag, 4-byte targets only

    std::uint8_t* row(std::int32_t y) const { return pixels + static_cast<std::ptrdiff_t>(y) * pitch; }
    // Sets or fills pixels already known to be inside the target, blending when alpha drawing applies.
    void setPixel(std::int32_t x, std::int32_t y, std::uint32_t colour) const;
    void fillRun(std::int32_t x, std::int32_t y, std::int32_t count, std::uint32_t colour) const;
    bool targetIsVisible(const ScreenState& screen) const { return targetIsScreen && screen.workIsVisible(); }
};

// The context for the open screen, reset first when it belongs to an earlier screen; null without a
// screen. Only the program's thread draws.
DrawContext* drawContext();

// Makes the screen (kScreen) or an image block the target. The screen's view is the clip rectangle of the
// screen and comes back when the screen becomes the target again. False when the image is unusable.
bool selectTarget(DrawContext& context, ImageBytes target);

}  // namespace zopp
