#include "screen/win32/win32_icon.h"

#include <cstdint>
#include <vector>

#include "screen/backend/window_icon.h"

namespace zopp {

HICON makeWindowIcon(int size) {
    constexpr int source = 32;
    if (size <= 0) return nullptr;
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = size;
    header.bV5Height = -size;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    const HDC screen = GetDC(nullptr);
    const HBITMAP colour = CreateDIBSection(screen, reinterpret_cast<const BITMAPINFO*>(&header),
                                            DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (colour == nullptr) return nullptr;
    // Straight alpha in 0xAARRGGBB is what an icon's 32-bit colour bitmap holds.
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x)
            pixels[y * size + x] = kWindowIconPixels[(y * source / size) * source + x * source / size];
    }
    // With an alpha channel the mask is not used, but an icon needs one.
    const std::vector<std::uint8_t> maskBits(static_cast<std::size_t>((size + 15) / 16 * 2 * size), 0);
    const HBITMAP mask = CreateBitmap(size, size, 1, 1, maskBits.data());
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = colour;
    info.hbmMask = mask;
    const HICON icon = mask != nullptr ? CreateIconIndirect(&info) : nullptr;
    DeleteObject(colour);
    if (mask != nullptr) DeleteObject(mask);
    return icon;
}

}  // namespace zopp
