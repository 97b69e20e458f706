// The window's icon, painted by tools/make_pictures.
#pragma once

#include <cstdint>

namespace zopp {

// 32×32 pixels as 0xAARRGGBB (straight alpha), row by row from the top left.
extern const std::uint32_t kWindowIconPixels[32 * 32];

}  // namespace zopp
