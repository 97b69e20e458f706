#include "screen/drawing/blit.h"

#include <algorithm>
#include <cstring>

#include "frame/runtime.h"
#include "screen/drawing/draw_context.h"
#include "screen/drawing/geometry.h"
#include "screen/drawing/row_copy.h"
#include "screen/state/screen_state.h"

namespace zopp {

namespace {

constexpr std::int32_t kPutAlpha = 6;

// Put mode 6 with a 1-byte image on a 4-byte target: each image byte becomes the alpha byte of the target
// pixel; red, green and blue stay.
void writeAlpha(const std::uint8_t* source, std::uint8_t* target, std::int32_t width, std::int32_t height,
                std::int32_t sourcePitch, std::int32_t targetPitch, std::int32_t, void*, void*) {
    for (std::int32_t y = 0; y < height; ++y, source += sourcePitch, target += targetPitch) {
        for (std::int32_t x = 0; x < width; ++x)
            target[std::size_t(x) * 4 + 3] = source[x];
    }
}

// The copy variant is chosen once, from whether the screen was opened on a processor with wide moves.
CopyVariant activeVariant(const ScreenState& screen) {
    static const CopyVariant kVariant = screen.hasFastCopy ? CopyVariant::Fast : CopyVariant::Plain;
    return kVariant;
}

struct SourceBlock {
    std::int32_t x, y, width, height;
};

// The source rectangle with its corners ordered and clamped to the image; the whole image without one.
SourceBlock sourceBlock(const ImageInfo& info, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                        std::int64_t y2, bool given) {
    if (!given) return {0, 0, info.width, info.height};
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    x1 = std::clamp<std::int64_t>(x1, 0, info.width - 1);
    x2 = std::clamp<std::int64_t>(x2, 0, info.width - 1);
    y1 = std::clamp<std::int64_t>(y1, 0, info.height - 1);
    y2 = std::clamp<std::int64_t>(y2, 0, info.height - 1);
    return {static_cast<std::int32_t>(x1), static_cast<std::int32_t>(y1),
            static_cast<std::int32_t>(x2 - x1 + 1), static_cast<std::int32_t>(y2 - y1 + 1)};
}

}  // namespace

void copyRows(const std::uint8_t* source, std::uint8_t* target, std::int32_t width, std::int32_t height,
              std::int32_t sourcePitch, std::int32_t targetPitch, std::int32_t, void*, void*) {
    const DrawContext* context = drawContext();
    if (!context) return;
    if (const RowCopy copy = rowCopy(activeVariant(*currentScreen()), context->bytesPerPixel)) {
        copy(source, target, width, height, sourcePitch, targetPitch);
    }
}

namespace {

std::int32_t putImageBlock(ImageBytes target, float x, float y, ConstImageBytes image, std::int32_t srcX1,
                           std::int32_t srcY1, std::int32_t srcX2, std::int32_t srcY2,
                           std::int32_t coordinateMode, std::int32_t putMode, RowBlitter blitter,
                           std::int32_t alpha, void* blender, void* parameter) {
    DrawContext* context = drawContext();
    if (!context || image.empty() || !blitter) return IllegalFunctionCall;
    ScreenState& screen = *currentScreen();
    if (!selectTarget(*context, target)) return IllegalFunctionCall;

    // The position is the first point; the far source corner is the second.
    const CoordinateRules rules = coordinateRules(coordinateMode, true);
    const PixelPoint at = placePoint(*context, rules.firstFromPen, x, y);

    const auto info = readImageHeader(image, screen.bytesPerPixel);
    if (!info) return IllegalFunctionCall;
    if (info->bytesPerPixel != context->bytesPerPixel) {
        if (putMode != kPutAlpha || info->bytesPerPixel != 1 || context->bytesPerPixel != 4)
            return IllegalFunctionCall;
        blitter = writeAlpha;
    }

    const bool given = srcX1 != NO_ARGUMENT;
    std::int64_t x2 = srcX2, y2 = srcY2;
    if (given && rules.secondFromFirst) {
        x2 += srcX1;
        y2 += srcY1;
    }
    const SourceBlock block = sourceBlock(*info, srcX1, srcY1, x2, y2, given);
    if (block.width == 0 || block.height == 0) return 0;
    const auto visible = clipBlock(targetClip(*context), at.x, at.y, block.width, block.height);
    if (!visible) return 0;

    const std::uint8_t* from = image.data() + info->pixelOffset +
                               std::size_t(block.y + visible->skipY) * std::size_t(info->pitch) +
                               std::size_t(block.x + visible->skipX) * std::size_t(info->bytesPerPixel);
    std::uint8_t* to =
        context->row(visible->y) + std::size_t(visible->x) * std::size_t(context->bytesPerPixel);
    const ScreenLock lock;
    blitter(from, to, visible->width, visible->height, info->pitch, context->pitch, alpha, blender,
            parameter);
    if (context->targetIsVisible(screen)) markDirty(screen, visible->y, visible->y + visible->height - 1);
    return 0;
}

std::int32_t copyRect(ImageBytes source, float x1, float y1, float x2, float y2, ImageBytes destination,
                      std::int32_t coordinateMode) {
    DrawContext* context = drawContext();
    if (!context || !selectTarget(*context, source)) return IllegalFunctionCall;
    PointPair p = resolvePointPair(*context, coordinateMode, x1, y1, x2, y2);
    if (p.x1 > p.x2) std::swap(p.x1, p.x2);
    if (p.y1 > p.y2) std::swap(p.y1, p.y2);

    // All or nothing: a rectangle reaching outside the clip rectangle copies nothing.
    const Rect clip = targetClip(*context);
    if (p.x1 < clip.x || p.y1 < clip.y || std::int64_t(p.x2) >= std::int64_t(clip.x) + clip.width ||
        std::int64_t(p.y2) >= std::int64_t(clip.y) + clip.height) {
        return IllegalFunctionCall;
    }
    const std::int32_t width = p.x2 - p.x1 + 1, height = p.y2 - p.y1 + 1;
    const std::int32_t bytesPerPixel = context->bytesPerPixel;
    const std::int32_t pitch = imagePitch(width, bytesPerPixel);
    if (kImageHeaderBytes + std::uint64_t(pitch) * std::uint64_t(height) > destination.size())
        return IllegalFunctionCall;

    writeImageHeader(destination.data(), bytesPerPixel, width, height);
    const ScreenLock lock;
    const std::uint8_t* from = context->row(p.y1) + std::size_t(p.x1) * std::size_t(bytesPerPixel);
    std::uint8_t* to = destination.data() + kImageHeaderBytes;
    for (std::int32_t row = 0; row < height; ++row, from += context->pitch, to += pitch) {
        std::memmove(to, from, std::size_t(width) * std::size_t(bytesPerPixel));
    }
    return 0;
}

}  // namespace

std::int32_t putImage(ImageBytes target, float x, float y, ConstImageBytes image, std::int32_t srcX1,
                      std::int32_t srcY1, std::int32_t srcX2, std::int32_t srcY2, std::int32_t coordinateMode,
                      std::int32_t putMode, RowBlitter blitter, std::int32_t alpha, void* blender,
                      void* parameter) {
    return storeErrorNumber(putImageBlock(target, x, y, image, srcX1, srcY1, srcX2, srcY2, coordinateMode,
                                          putMode, blitter, alpha, blender, parameter));
}

std::int32_t copyScreenRect(ImageBytes source, float x1, float y1, float x2, float y2, ImageBytes destination,
                            std::int32_t coordinateMode) {
    return storeErrorNumber(copyRect(source, x1, y1, x2, y2, destination, coordinateMode));
}

}  // namespace zopp
