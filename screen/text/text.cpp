#include "screen/text/text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>

#include "frame/runtime.h"
#include "screen/drawing/draw_context.h"
#include "screen/drawing/geometry.h"
#include "screen/state/colour.h"
#include "screen/state/screen_state.h"
#include "screen/text/font.h"
#include "screen/text/text_mode.h"

namespace zopp {

namespace {

// Rows of the target a text line of cell height h at y covers inside the clip rectangle.
struct RowSpan {
    std::int32_t first, last;  // inclusive target rows; empty when first > last
};

RowSpan clipRows(const Rect& clip, std::int32_t y, std::int32_t h) {
    const std::int64_t last = std::min<std::int64_t>(std::int64_t{y} + h - 1, clip.y + clip.height - 1);
    return {std::max(y, clip.y), static_cast<std::int32_t>(last)};
}

// Both draw routines return whether any character met the clip rectangle.
bool drawBuiltin(const DrawContext& context, const FontTable& font, std::int32_t x, std::int32_t y,
                 std::string_view text, std::uint32_t colour, RowSpan rows) {
    const Rect& clip = context.clip;
    const std::int64_t clipRight = std::int64_t{clip.x} + clip.width;  // exclusive
    const std::int32_t w = font.width;
    const std::int64_t boxRight = x + static_cast<std::int64_t>(text.size()) * w;
    if (text.empty() || boxRight <= clip.x || x >= clipRight) return false;
    // Characters wholly left of the clip rectangle are skipped whole; a partly visible one still counts.
    const std::int64_t skipped = clip.x > x ? (std::int64_t{clip.x} - x) / w : 0;
    for (std::size_t i = static_cast<std::size_t>(skipped); i < text.size(); ++i) {
        const std::int64_t cellX = x + static_cast<std::int64_t>(i) * w;
        if (cellX >= clipRight) break;
        // Columns of this cell inside the clip rectangle, as a mask over the glyph row's bits.
        const std::int64_t left = std::max<std::int64_t>(0, clip.x - cellX);
        const std::int64_t right = std::min<std::int64_t>(w, clipRight - cellX);
        const auto columns = static_cast<std::uint8_t>((0xFFu << left) & (0xFFu >> (8 - right)));
        const std::uint8_t* glyph =
            font.glyphs + static_cast<std::size_t>(static_cast<std::uint8_t>(text[i])) *
                              static_cast<std::size_t>(font.height);
        const auto px = static_cast<std::int32_t>(cellX);
        for (std::int32_t ty = rows.first; ty <= rows.last; ++ty) {
            unsigned bits = glyph[ty - y] & columns;
            while (bits != 0) {
                context.setPixel(px + std::countr_zero(bits), ty, colour);
                bits &= bits - 1;
            }
        }
    }
    return true;
}

struct ImageFont {
    const std::uint8_t* glyphRows;  // row 1 of the font image, the glyphs' top row
    std::int32_t pitch, bytesPerPixel, glyphHeight;
    std::uint8_t firstCode, lastCode;
    std::array<std::int32_t, 256> column{};  // left column of each character's glyph
    std::array<std::int32_t, 256> width{};
};

std::optional<ImageFont> readImageFont(ConstImageBytes block, std::int32_t targetBytesPerPixel,
                                       std::int32_t screenBytesPerPixel) {
    const auto info = readImageHeader(block, screenBytesPerPixel);
    if (!info || info->bytesPerPixel != targetBytesPerPixel || info->pitch <= 3 || info->height <= 1) {
        return std::nullopt;
    }
    const std::uint8_t* header = block.data() + info->pixelOffset;
    if (header[0] != 0 || header[2] < header[1]) return std::nullopt;
    ImageFont font{};
    font.firstCode = header[1];
    font.lastCode = header[2];
    const std::int32_t count = font.lastCode - font.firstCode + 1;
    if (3 + count > info->pitch) return std::nullopt;  // widths run past the header row
    std::int32_t column = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        const auto code = static_cast<std::size_t>(font.firstCode) + static_cast<std::size_t>(i);
        font.column[code] = column;
        font.width[code] = header[3 + i];
        column += header[3 + i];
    }
    if (column > info->width) return std::nullopt;  // glyphs would reach past the image's right edge
    font.glyphRows = header + info->pitch;
    font.pitch = info->pitch;
    font.bytesPerPixel = info->bytesPerPixel;
    font.glyphHeight = info->height - 1;
    return font;
}

bool drawWithImageFont(const DrawContext& context, const ImageFont& font, std::int32_t x, std::int32_t y,
                       std::string_view text, RowSpan rows, RowBlitter blitter, void* blender,
                       void* parameter) {
    const Rect& clip = context.clip;
    const std::int64_t clipRight = std::int64_t{clip.x} + clip.width;
    const std::int32_t height = rows.last - rows.first + 1;
    const std::int32_t bpp = font.bytesPerPixel;
    std::int64_t cellX = x;
    bool met = false;
    for (const char ch : text) {
        if (cellX >= clipRight) break;
        const auto code = static_cast<std::uint8_t>(ch);
        if (code < font.firstCode || code > font.lastCode) continue;
        const std::int32_t w = font.width[code];
        const std::int64_t left = std::max<std::int64_t>(cellX, clip.x);
        const std::int64_t right = std::min<std::int64_t>(cellX + w, clipRight);
        if (left < right) {
            const std::uint8_t* source = font.glyphRows +
                                         static_cast<std::ptrdiff_t>(rows.first - y) * font.pitch +
                                         (font.column[code] + (left - cellX)) * bpp;
            std::uint8_t* destination = context.row(rows.first) + left * bpp;
            blitter(source, destination, static_cast<std::int32_t>(right - left), height, font.pitch,
                    context.pitch, -1, blender, parameter);
            met = true;
        }
        cellX += w;
    }
    return met;
}

std::int32_t drawTextLine(ImageBytes target, float x, float y, std::int32_t flags, std::string_view text,
                          std::uint32_t colour, ConstImageBytes font, RowBlitter blitter, void* blender,
                          void* parameter) {
    ScreenState* screen = currentScreen();
    if (!screen) return 0;
    if (text.data() == nullptr) return IllegalFunctionCall;
    DrawContext* context = drawContext();
    if (!selectTarget(*context, target)) return IllegalFunctionCall;

    std::optional<ImageFont> imageFont;
    if (!font.empty()) {
        imageFont = readImageFont(font, context->bytesPerPixel, screen->bytesPerPixel);
        if (!imageFont || !blitter) return IllegalFunctionCall;
    }
    const TextGrid* grid = textGrid();
    const FontTable* builtin = grid->font ? grid->font : builtinFont(8);
    if (flags & DEFAULT_COLOR) {
        colour = context->foreground;
    } else {
        colour = convertColour(colour, context->bytesPerPixel);
    }
    const PixelPoint at = resolvePoint(*context, flags, x, y);

    ScreenLock lock;
    const std::int32_t cellHeight = imageFont ? imageFont->glyphHeight : builtin->height;
    const RowSpan rows = clipRows(context->clip, at.y, cellHeight);
    if (rows.first > rows.last) return 0;
    const bool drawn = imageFont ? drawWithImageFont(*context, *imageFont, at.x, at.y, text, rows, blitter,
                                                     blender, parameter)
                                 : drawBuiltin(*context, *builtin, at.x, at.y, text, colour, rows);
    if (drawn && context->targetIsVisible(*screen)) markDirty(*screen, rows.first, rows.last);
    return 0;
}

}  // namespace

std::int32_t drawText(ImageBytes target, float x, float y, std::int32_t flags, std::string_view text,
                      std::uint32_t colour, ConstImageBytes font, [[maybe_unused]] std::int32_t putMode,
                      RowBlitter blitter, void* blender, void* parameter) {
    return storeErrorNumber(
        drawTextLine(target, x, y, flags, text, colour, font, blitter, blender, parameter));
}

}  // namespace zopp
