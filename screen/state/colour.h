// Colour values between 0xRRGGBB and the pixel formats the layer stores.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zopp {

// 0xRRGGBB to the pixel format of bytesPerPixel bytes: unchanged for 4, 5-6-5 for 2, the low 8 bits for 1.
std::uint32_t convertColour(std::uint32_t colour, std::int32_t bytesPerPixel);

// An n-bit channel value widened to 8 bits, the full n-bit value giving 0xFF: from 4 bits on by repeating
// the top bits below, wider channels keep their top 8 bits, narrower ones are shifted up.
std::uint32_t widenChannel(std::uint32_t value, std::int32_t bits);

// Writes count pixels of bytesPerPixel bytes (1, 2 or 4), each holding value in that pixel format. One
// store per pixel: a screen is cleared or an image filled by this on every start.
void fillPixels(std::uint8_t* pixels, std::size_t count, std::int32_t bytesPerPixel, std::uint32_t value);

}  // namespace zopp
