// Converters from one stored BMP row to destination pixels of 1, 2 or 4 bytes.
#pragma once

#include <cstdint>

#include "screen/images/bitmap_header.h"

namespace zopp {

struct ConvertSource {
    const BitmapHeader* header;
    const std::uint32_t* palette;  // 256 entries 0x00RRGGBB, used by sources of 8 bits or less
    std::uint32_t colourMask;      // masks indices written to 1-byte destinations
};

// Converts the first count pixels of row (which holds at least that many) into target.
using RowConverter = void (*)(const ConvertSource& source, const std::uint8_t* row, std::uint8_t* target,
                              std::int32_t count);

// The converter for a bit count of 1..32 into destinationBytes (1, 2 or 4) bytes per pixel; null for
// more than 8 bits into a 1-byte destination. destinationBytes must be one of those.
RowConverter pickRowConverter(std::int32_t bitCount, std::int32_t destinationBytes);

}  // namespace zopp
