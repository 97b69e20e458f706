// File encodings of painted pictures: the game's BMP variant, a PNG for the desktop icon and the C++
// source of the window icon.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tools/canvas.h"

namespace zopp::pictures {

// Uncompressed 24-bit bottom-up BMP with a 40-byte info header; rows padded to 4 bytes. Alpha is
// dropped.
std::vector<std::uint8_t> encodeBmp(const Canvas& canvas);

// 8-bit RGBA PNG whose zlib stream holds only stored deflate blocks.
std::vector<std::uint8_t> encodePng(const Canvas& canvas);

// The checksums PNG and zlib need.
std::uint32_t crc32(std::span<const std::uint8_t> bytes);
std::uint32_t adler32(std::span<const std::uint8_t> bytes);

// screen/backend/window_icon.cpp defining kWindowIconPixels from a 32×32 canvas, clang-format clean.
std::string windowIconSource(const Canvas& icon);

}  // namespace zopp::pictures
