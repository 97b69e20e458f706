#include "screen/images/bitmap_header.h"

#include <algorithm>
#include <bit>
#include <climits>

#include "screen/images/byte_reader.h"
#include "screen/state/colour.h"

namespace zopp {

namespace {

constexpr std::uint16_t kSignature = 0x4D42;  // the bytes 'B', 'M'
constexpr std::uint32_t kFileHeaderBytes = 14;
constexpr std::uint32_t kCoreHeaderBytes = 12;
constexpr std::uint32_t kMaskedHeaderBytes = 108;  // long enough to carry all four channel masks
constexpr std::uint32_t kBitfields = 3;

struct RawMasks {
    std::uint32_t red, green, blue, alpha;
};

std::optional<BitmapHeader> rejected() {
    return std::nullopt;
}

}  // namespace

ChannelMask ChannelMask::from(std::uint32_t mask) {
    if (mask == 0) return {};
    const int low = std::countr_zero(mask);
    const int high = 31 - std::countl_zero(mask);
    return {mask >> low, low, high - low + 1};
}

std::uint32_t ChannelMask::extract(std::uint32_t value) const {
    return widenChannel((value >> shift) & shifted, bits);
}

std::uint64_t BitmapHeader::rowBytes() const {
    const auto w = std::uint64_t(width);
    if (bitCount < 8) return (w * std::uint64_t(bitCount) + 31) / 32 * 4;
    return (w * std::uint64_t((bitCount + 7) / 8) + 3) & ~std::uint64_t{3};
}

std::optional<BitmapHeader> readBitmapHeader(std::span<const std::uint8_t> file) {
    ByteReader in(file);
    BitmapHeader h;
    const auto signature = in.u16();
    if (!signature || *signature != kSignature) return rejected();
    const auto offset = (in.skip(4) && in.skip(4)) ? in.u32() : std::nullopt;  // file size, reserved words
    const auto headerSize = in.u32();
    if (!offset || !headerSize) return rejected();
    h.headerSize = *headerSize;

    std::int64_t height = 0;
    std::uint32_t planes = 0;
    RawMasks masks{};
    bool masksGiven = false;
    if (h.headerSize == kCoreHeaderBytes) {
        const auto w = in.u16(), ht = in.u16(), p = in.u16(), b = in.u16();
        if (!w || !ht || !p || !b) return rejected();
        h.core = true;
        h.width = *w;
        height = *ht;
        planes = *p;
        h.bitCount = *b;
    } else {
        if (h.headerSize < 16) return rejected();
        const auto w = in.i32(), ht = in.i32();
        const auto p = in.u16(), b = in.u16();
        if (!w || !ht || !p || !b) return rejected();
        h.width = *w;
        height = *ht;
        planes = *p;
        h.bitCount = *b;
        if (h.headerSize >= 20) {
            const auto c = in.u32();
            if (!c) return rejected();
            h.compression = *c;
        }
        if (h.headerSize >= 24 && !in.u32()) return rejected();  // image size, not needed
        if (h.headerSize >= kMaskedHeaderBytes) {
            const bool skipped =
                in.skip(16);  // resolution and colour counts: the table size comes from the offset
            const auto r = in.u32(), g = in.u32(), bl = in.u32(), a = in.u32();
            if (!skipped || !r || !g || !bl || !a) return rejected();
            masks = {*r, *g, *bl, *a};
            masksGiven = true;
        }
    }

    if (planes > 1 || h.width < 1 || height == 0 || h.compression > kBitfields) return rejected();
    // Run-length data is refused rather than read as raw rows: decoding it is not needed here and
    // reading it raw would show garbage.
    if (h.compression == 1 || h.compression == 2) return rejected();
    if (h.bitCount < 1 || h.bitCount > 32) return rejected();
    if (height < 0) {
        if (height == INT_MIN) return rejected();  // has no positive counterpart
        h.topDown = true;
        height = -height;
    }
    h.height = static_cast<std::int32_t>(height);

    const std::uint64_t tableStart = std::uint64_t(h.headerSize) + kFileHeaderBytes;
    const std::uint64_t entryBytes = h.core ? 3 : 4;
    h.dataOffset = *offset;
    if (h.dataOffset == 0) {
        h.dataOffset = tableStart + (h.bitCount <= 8 ? (std::uint64_t{1} << h.bitCount) * entryBytes : 0);
    }

    if (h.compression == kBitfields && h.headerSize < kMaskedHeaderBytes) {
        if (!in.seek(tableStart)) return rejected();
        const auto r = in.u32(), g = in.u32(), b = in.u32();
        if (!r || !g || !b) return rejected();
        masks = {*r, *g, *b, masks.alpha};
    } else if (h.compression != kBitfields) {
        const std::uint32_t alpha = masksGiven ? masks.alpha : 0;
        masks = h.bitCount > 16 ? RawMasks{0xFF0000, 0x00FF00, 0x0000FF, alpha}
                                : RawMasks{0x7C00, 0x03E0, 0x001F, alpha};
    }
    h.red = ChannelMask::from(masks.red);
    h.green = ChannelMask::from(masks.green);
    h.blue = ChannelMask::from(masks.blue);
    h.alpha = ChannelMask::from(masks.alpha);
    h.hasAlpha = masks.alpha != 0;
    return h;
}

std::optional<BitmapPalette> readBitmapPalette(std::span<const std::uint8_t> file, const BitmapHeader& h) {
    BitmapPalette palette;
    if (h.bitCount > 8) return palette;
    const std::uint64_t tableStart = std::uint64_t(h.headerSize) + kFileHeaderBytes;
    const std::uint64_t entryBytes = h.core ? 3 : 4;
    const std::uint64_t room = h.dataOffset > tableStart ? (h.dataOffset - tableStart) / entryBytes : 0;
    const std::uint64_t count = std::min<std::uint64_t>(room, std::uint64_t{1} << h.bitCount);

    ByteReader in(file);
    if (!in.seek(tableStart)) return std::nullopt;
    const auto table = in.bytes(count * entryBytes);
    if (!table) return std::nullopt;
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint8_t* e = table->data() + i * entryBytes;  // blue, green, red[, reserved]
        palette.entries[i] = (std::uint32_t{e[2]} << 16) | (std::uint32_t{e[1]} << 8) | e[0];
    }
    palette.count = static_cast<std::int32_t>(count);
    return palette;
}

}  // namespace zopp
