#include "screen/images/image.h"

#include <cstring>
#include <new>

#include "screen/images/byte_reader.h"
#include "screen/state/colour.h"
#include "screen/state/screen_state.h"

namespace zopp {

namespace {

std::int32_t headerField(ConstImageBytes block, std::size_t offset) {
    std::int32_t v = 0;
    std::memcpy(&v, block.data() + offset, 4);
    return v;
}

void putField(std::uint8_t* block, std::size_t offset, std::int32_t value) {
    std::memcpy(block + offset, &value, 4);
}

bool validPixelSize(std::int32_t bytesPerPixel) {
    return bytesPerPixel == 1 || bytesPerPixel == 2 || bytesPerPixel == 4;
}

// Rows must fit in the block after the header; 64-bit so no header can wrap the sum around.
bool rowsFit(std::size_t blockSize, std::size_t pixelOffset, std::int32_t height, std::int32_t pitch) {
    const std::uint64_t need = pixelOffset + std::uint64_t(height) * std::uint64_t(pitch);
    return need <= blockSize;
}

std::uint32_t defaultFill(std::int32_t bytesPerPixel) {
    switch (bytesPerPixel) {
        case 4:
            return 0xFFFF00FFu;
        case 2:
            return 0xF81Fu;
        default:
            return 0;
    }
}

}  // namespace

Image::Image(std::size_t bytes)
    : block_(new (std::nothrow) std::uint8_t[bytes]()), size_(block_ ? bytes : 0) {}

std::int32_t Image::width() const {
    return headerField(bytes(), 8);
}
std::int32_t Image::height() const {
    return headerField(bytes(), 12);
}
std::int32_t Image::bytesPerPixel() const {
    return headerField(bytes(), 4);
}
std::int32_t Image::pitch() const {
    return headerField(bytes(), 16);
}

std::uint32_t Image::pixel32(std::int32_t x, std::int32_t y) const {
    std::uint32_t v = 0;
    std::memcpy(
        &v, block_.get() + kImageHeaderBytes + std::size_t(y) * std::size_t(pitch()) + std::size_t(x) * 4, 4);
    return v;
}

std::optional<ImageInfo> readImageHeader(ConstImageBytes block, std::int32_t screenBytesPerPixel) {
    ByteReader reader(block);
    const auto first = reader.u32();
    if (!first) return std::nullopt;
    if (*first == kImageType) {
        if (block.size() < kImageHeaderBytes) return std::nullopt;
        ImageInfo info{headerField(block, 4), headerField(block, 8), headerField(block, 12),
                       headerField(block, 16), kImageHeaderBytes};
        if (!validPixelSize(info.bytesPerPixel) || info.width <= 0 || info.height <= 0) return std::nullopt;
        if (std::int64_t(info.pitch) < std::int64_t(info.width) * info.bytesPerPixel) return std::nullopt;
        if (!rowsFit(block.size(), info.pixelOffset, info.height, info.pitch)) return std::nullopt;
        return info;
    }
    // The older header: bits 0-2 bytes per pixel (0 = the screen's), bits 3-15 the width, then the height.
    const auto word = static_cast<std::uint16_t>(*first & 0xFFFF);
    ImageInfo info{word & 7, word >> 3, static_cast<std::int32_t>(*first >> 16), 0, 4};
    if (info.bytesPerPixel == 0) info.bytesPerPixel = screenBytesPerPixel;
    if (!validPixelSize(info.bytesPerPixel) || info.width <= 0 || info.height <= 0) return std::nullopt;
    info.pitch = info.width * info.bytesPerPixel;
    if (!rowsFit(block.size(), info.pixelOffset, info.height, info.pitch)) return std::nullopt;
    return info;
}

std::int32_t imagePitch(std::int32_t width, std::int32_t bytesPerPixel) {
    return static_cast<std::int32_t>((std::int64_t(width) * bytesPerPixel + 15) & ~std::int64_t{15});
}

void writeImageHeader(std::uint8_t* block, std::int32_t bytesPerPixel, std::int32_t width,
                      std::int32_t height) {
    putField(block, 0, kImageType);
    putField(block, 4, bytesPerPixel);
    putField(block, 8, width);
    putField(block, 12, height);
    putField(block, 16, imagePitch(width, bytesPerPixel));
}

ImagePtr createImage(std::int32_t width, std::int32_t height, std::uint32_t colour, std::int32_t depth,
                     std::int32_t flags) {
    const ScreenState* screen = currentScreen();
    if (!screen || width <= 0 || height <= 0) return nullptr;
    const std::int32_t bytesPerPixel = depth <= 0 ? screen->bytesPerPixel : (depth + 7) / 8;
    if (!validPixelSize(bytesPerPixel)) return nullptr;
    const std::uint32_t fill =
        (flags & DEFAULT_COLOR) ? defaultFill(bytesPerPixel) : convertColour(colour, bytesPerPixel);

    // Pitch and size in 64 bits, and blocks kept below 2 GiB so every offset fits the 32-bit header fields:
    // anything larger is a null result, never a wrapped size.
    const std::uint64_t pitch =
        (std::uint64_t(width) * std::uint64_t(bytesPerPixel) + 15) & ~std::uint64_t{15};
    const std::uint64_t size = kImageHeaderBytes + pitch * std::uint64_t(height);
    if (pitch > INT32_MAX || size > INT32_MAX) return nullptr;  // the pitch test keeps the product exact
    auto image = std::make_unique<Image>(static_cast<std::size_t>(size));
    if (image->bytes().size() != size) return nullptr;

    std::uint8_t* block = image->bytes().data();
    writeImageHeader(block, bytesPerPixel, width, height);
    std::memset(block + 24, 0, 8);
    std::uint8_t* pixels = block + kImageHeaderBytes;
    const std::size_t slots =
        static_cast<std::size_t>(pitch * std::uint64_t(height)) / std::size_t(bytesPerPixel);
    fillPixels(pixels, slots, bytesPerPixel, fill);
    return image;
}

void destroyImage(ImagePtr image) {
    image.reset();
}

}  // namespace zopp
