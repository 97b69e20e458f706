// Putting images onto a target and copying screen rectangles into images.
#pragma once

#include <cstdint>

#include "screen/images/image.h"

namespace zopp {

// Called once per putImage with the clipped block.
using RowBlitter = void (*)(const std::uint8_t* source, std::uint8_t* target, std::int32_t width,
                            std::int32_t height, std::int32_t sourcePitch, std::int32_t targetPitch,
                            std::int32_t alpha, void* blender, void* parameter);

// Put mode 1: every pixel replaces the target's, byte for byte. Dispatches by the target's pixel size.
void copyRows(const std::uint8_t* source, std::uint8_t* target, std::int32_t width, std::int32_t height,
              std::int32_t sourcePitch, std::int32_t targetPitch, std::int32_t alpha, void* blender,
              void* parameter);

// Draws image (or its source rectangle, corners inclusive) at (x, y) onto target (kScreen = the screen).
// 1 without a screen, for a null image or a pixel-size mismatch; 0 otherwise, also when nothing shows.
std::int32_t putImage(ImageBytes target, float x, float y, ConstImageBytes image,
                      std::int32_t srcX1 = NO_ARGUMENT, std::int32_t srcY1 = NO_ARGUMENT,
                      std::int32_t srcX2 = NO_ARGUMENT, std::int32_t srcY2 = NO_ARGUMENT,
                      std::int32_t coordinateMode = CoordAbsolute, std::int32_t putMode = 1,
                      RowBlitter blitter = copyRows, std::int32_t alpha = -1, void* blender = nullptr,
                      void* parameter = nullptr);

// Copies the rectangle (corners inclusive, any order) of source (kScreen = the screen) into destination,
// writing a type-7 header. 1 without a screen, when the rectangle leaves the clip rectangle, or when the
// block does not fit in destination's bytes.
std::int32_t copyScreenRect(ImageBytes source, float x1, float y1, float x2, float y2, ImageBytes destination,
                            std::int32_t coordinateMode = CoordAbsolute);

}  // namespace zopp
