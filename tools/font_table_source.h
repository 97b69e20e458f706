// Renders the packed font table as the C++ source committed in screen/text/font_table_lzw.cpp.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zopp::tools {

std::string renderFontTableSource(std::span<const std::uint8_t> packed);

}  // namespace zopp::tools
