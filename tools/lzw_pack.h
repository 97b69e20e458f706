// The packing side of screen/text/lzw.h: greedy LZW with 12-bit codes, ended by kLzwEnd.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace zopp::tools {

std::vector<std::uint8_t> lzwPack(std::span<const std::uint8_t> data);

}  // namespace zopp::tools
