// The row copies behind copyRows: for each pixel size a plain copy and a wide one. Both copy width ×
// bytesPerPixel bytes per row, row after row, and give identical results.
#pragma once

#include <cstdint>

namespace zopp {

enum class CopyVariant { Plain, Fast };

using RowCopy = void (*)(const std::uint8_t* source, std::uint8_t* target, std::int32_t width,
                         std::int32_t height, std::int32_t sourcePitch, std::int32_t targetPitch);

// Null for a pixel size other than 1, 2 or 4 bytes.
RowCopy rowCopy(CopyVariant variant, std::int32_t bytesPerPixel);

// Whether the processor offers the 8-byte moves of the fast variant (decided once).
bool cpuHasFastCopy();

}  // namespace zopp
