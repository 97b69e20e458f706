// Layout of the built-in table: the three fonts, then the default palettes of red, green, blue bytes.
#pragma once

#include <cstddef>

namespace zopp::font_table {

inline constexpr std::size_t kFont8X8 = 0;
inline constexpr std::size_t kFont8X14 = kFont8X8 + 256 * 8;
inline constexpr std::size_t kFont8X16 = kFont8X14 + 256 * 14;
inline constexpr std::size_t kPalette2 = kFont8X16 + 256 * 16;
inline constexpr std::size_t kPalette16 = kPalette2 + 2 * 3;
inline constexpr std::size_t kPalette64 = kPalette16 + 16 * 3;
inline constexpr std::size_t kPalette256 = kPalette64 + 64 * 3;
inline constexpr std::size_t kTableBytes = kPalette256 + 256 * 3;
static_assert(kTableBytes == 10742);

}  // namespace zopp::font_table
