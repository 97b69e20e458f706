// Layout of the built-in table: the three fonts, then the default palettes of red, green, blue bytes.
#pragma once

#include <cstddef>

namespace zopp::font_table {

inline constexpr std::size_t FONT_8X8 = 0;
inline constexpr std::size_t FONT_8X14 = FONT_8X8 + 256 * 8;
inline constexpr std::size_t FONT_8X16 = FONT_8X14 + 256 * 14;
inline constexpr std::size_t PALETTE_2 = FONT_8X16 + 256 * 16;
inline constexpr std::size_t PALETTE_16 = PALETTE_2 + 2 * 3;
inline constexpr std::size_t PALETTE_64 = PALETTE_16 + 16 * 3;
inline constexpr std::size_t PALETTE_256 = PALETTE_64 + 64 * 3;
inline constexpr std::size_t TABLE_BYTES = PALETTE_256 + 256 * 3;
static_assert(TABLE_BYTES == 10742);

}  // namespace zopp::font_table
