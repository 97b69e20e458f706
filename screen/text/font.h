// The built-in code page 437 fonts and the default palettes.
#pragma once

#include <cstdint>
#include <span>

namespace zopp {

// Glyph c starts at glyphs + c × height, one byte a row, bit 0 the leftmost pixel.
struct FontTable {
    std::int32_t width;
    std::int32_t height;
    const std::uint8_t* glyphs;
};

// Unpacks the built-in table once (the first openScreen does it); later calls do nothing. Safe to call
// from several threads.
void unpackBuiltinTable();

// The whole unpacked table (fonts 8×8, 8×14, 8×16, then the palettes); zeros before unpackBuiltinTable.
std::span<const std::uint8_t> builtinTable();

// The built-in font of cell height 8, 14 or 16, or null for any other height. Needs unpackBuiltinTable.
const FontTable* builtinFont(std::int32_t height);

// The default palette of 2, 16, 64 or 256 entries (red, green, blue bytes); empty for other counts.
// Needs unpackBuiltinTable.
std::span<const std::uint8_t> defaultPalette(std::int32_t entries);

}  // namespace zopp
