#include "screen/drawing/draw_context.h"

#include <cstring>

#include "screen/state/colour.h"

namespace zopp {

namespace {

DrawContext context;

void resetContext(DrawContext& c, const ScreenState& screen) {
    c = DrawContext{};
    c.screenId = screen.id;
    c.screenView = Rect{0, 0, screen.width, screen.height};
    c.foreground = screen.depth >= 5 && screen.depth <= 8 ? 15u : screen.colourMask;
    c.background = screen.colourMask & 0xFF000000u;
}

// Blends colour over the pixel by colour's alpha byte; the target keeps its own alpha.
std::uint32_t blend(std::uint32_t over, std::uint32_t under) {
    const std::uint32_t a = over >> 24;
    std::uint32_t result = under & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t o = (over >> shift) & 0xFF;
        const std::uint32_t u = (under >> shift) & 0xFF;
        result |= ((o * a + u * (255 - a) + 127) / 255) << shift;
    }
    return result;
}

}  // namespace

void DrawContext::setPixel(std::int32_t x, std::int32_t y, std::uint32_t colour) const {
    std::uint8_t* p = row(y) + static_cast<std::ptrdiff_t>(x) * bytesPerPixel;
    switch (bytesPerPixel) {
        case 4: {
            if (alphaDrawing && (colour >> 24) < 0xFF) {
                std::uint32_t under;
                std::memcpy(&under, p, 4);
                colour = blend(colour, under);
            }
            std::memcpy(p, &colour, 4);
            break;
        }
        case 2: {
            const auto v = static_cast<std::uint16_t>(colour);
            std::memcpy(p, &v, 2);
            break;
        }
        default:
            *p = static_cast<std::uint8_t>(colour);
            break;
    }
}

void DrawContext::fillRun(std::int32_t x, std::int32_t y, std::int32_t count, std::uint32_t colour) const {
    if (count <= 0) return;
    if (bytesPerPixel == 4 && alphaDrawing && (colour >> 24) < 0xFF) {
        for (std::int32_t i = 0; i < count; ++i)
            setPixel(x + i, y, colour);
        return;
    }
    fillPixels(row(y) + static_cast<std::ptrdiff_t>(x) * bytesPerPixel, static_cast<std::size_t>(count),
               bytesPerPixel, colour);
}

DrawContext* drawContext() {
    ScreenState* screen = currentScreen();
    if (!screen) return nullptr;
    if (context.screenId != screen->id) {
        resetContext(context, *screen);
        selectTarget(context, kScreen);
    }
    return &context;
}

bool selectTarget(DrawContext& c, ImageBytes target) {
    ScreenState* screen = currentScreen();
    if (!screen) return false;
    if (target.empty()) {
        c.targetIsScreen = true;
        c.pixels = screen->workPixels();
        c.bytesPerPixel = screen->bytesPerPixel;
        c.pitch = screen->pitch;
        c.width = screen->width;
        c.height = screen->height;
        c.clip = c.screenView;  // the screen's view comes back with the screen
        c.alphaDrawing = (screen->flags & ScreenAlphaDrawing) && c.bytesPerPixel == 4;
        return true;
    }
    const auto info = readImageHeader(target, screen->bytesPerPixel);
    if (!info) return false;
    c.targetIsScreen = false;
    c.pixels = target.data() + info->pixelOffset;
    c.bytesPerPixel = info->bytesPerPixel;
    c.pitch = info->pitch;
    c.width = info->width;
    c.height = info->height;
    c.clip = Rect{0, 0, info->width, info->height};
    c.alphaDrawing = (screen->flags & ScreenAlphaDrawing) && c.bytesPerPixel == 4;
    return true;
}

}  // namespace zopp
