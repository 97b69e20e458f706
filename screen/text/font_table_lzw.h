// The built-in font and palette table, LZW-packed (see lzw.h). Generated into font_table_lzw.cpp.
#pragma once

#include <cstdint>
#include <span>

namespace zopp {

std::span<const std::uint8_t> builtinTableLzw();

}  // namespace zopp
