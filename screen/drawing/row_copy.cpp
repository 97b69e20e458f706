#include "screen/drawing/row_copy.h"

#include <cstring>

namespace zopp {

namespace {

// One pixel at a time, in its own width.
template <typename Pixel>
void plainRows(const std::uint8_t* source, std::uint8_t* target, std::int32_t width, std::int32_t height,
               std::int32_t sourcePitch, std::int32_t targetPitch) {
    for (std::int32_t y = 0; y < height; ++y, source += sourcePitch, target += targetPitch) {
        for (std::int32_t x = 0; x < width; ++x) {
            Pixel p;
            std::memcpy(&p, source + std::size_t(x) * sizeof(Pixel), sizeof(Pixel));
            std::memcpy(target + std::size_t(x) * sizeof(Pixel), &p, sizeof(Pixel));
        }
    }
}

// Whole rows through the library's widest moves; contiguous blocks in one move. memmove, because an
// image may be put onto itself.
template <std::size_t pixelBytes>
void fastRows(const std::uint8_t* source, std::uint8_t* target, std::int32_t width, std::int32_t height,
              std::int32_t sourcePitch, std::int32_t targetPitch) {
    const std::size_t rowBytes = std::size_t(width) * pixelBytes;
    if (height > 0 && sourcePitch == targetPitch && std::size_t(sourcePitch) == rowBytes) {
        std::memmove(target, source, rowBytes * std::size_t(height));
        return;
    }
    for (std::int32_t y = 0; y < height; ++y, source += sourcePitch, target += targetPitch) {
        std::memmove(target, source, rowBytes);
    }
}

constexpr RowCopy kPlainTable[] = {nullptr, plainRows<std::uint8_t>, plainRows<std::uint16_t>, nullptr,
                                   plainRows<std::uint32_t>};
constexpr RowCopy kFastTable[] = {nullptr, fastRows<1>, fastRows<2>, nullptr, fastRows<4>};

}  // namespace

RowCopy rowCopy(CopyVariant variant, std::int32_t bytesPerPixel) {
    if (bytesPerPixel < 0 || bytesPerPixel > 4) return nullptr;
    return (variant == CopyVariant::Fast ? kFastTable : kPlainTable)[bytesPerPixel];
}

bool cpuHasFastCopy() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool kHas = __builtin_cpu_supports("mmx");
    return kHas;
#else
    return true;
#endif
}

}  // namespace zopp
