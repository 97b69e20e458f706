// 12-bit LZW, the form the built-in font table is carried in.
//
// Codes 0-255 stand for single bytes; each later code adds a dictionary entry (the previous code's string
// plus the first byte of the current one) from 256 upward until code 4094 is taken, after which the
// dictionary stays fixed. There is no reset code; kLzwEnd (4095) ends the stream. Codes are packed two per
// three bytes: the first is byte 0 plus the low 4 bits of byte 1 as its bits 8-11, the second the high 4
// bits of byte 1 plus byte 2 as its bits 4-11. A final odd code takes two bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace zopp {

inline constexpr std::uint16_t kLzwEnd = 4095;
inline constexpr std::uint16_t kLzwLastEntry = 4094;

struct LzwResult {
    std::size_t written;  // bytes decoded into the output
    bool complete;        // the end code was reached with no corrupt code and no overflow
};

// Decodes packed into out. Never writes past out; whatever follows the decoded bytes is zero-filled.
// Decoding stops at the end code, at a truncated or corrupt code (a first code above 255, a code beyond
// the next free one), or when the output is full.
LzwResult lzwUnpack(std::span<const std::uint8_t> packed, std::span<std::uint8_t> out);

}  // namespace zopp
