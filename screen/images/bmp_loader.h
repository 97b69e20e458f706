// The bitmap loader's decoding stage, separated from the file system so that the loader and its fuzzer
// feed it the same way.
#pragma once

#include <cstdint>
#include <span>

#include "screen/images/image.h"

namespace zopp {

// Files larger than this are refused (3) instead of being read into memory.
inline constexpr std::size_t kMaxBitmapFileBytes = 64u << 20;

// Loads the contents of a bitmap file or raw dump into destination (kScreen = the screen). Same results as
// loadBitmap once the file has been read; never writes outside destination's bytes or the screen.
std::int32_t loadBitmapBytes(std::span<const std::uint8_t> file, ImageBytes destination,
                             std::uint32_t* paletteOut);

}  // namespace zopp
