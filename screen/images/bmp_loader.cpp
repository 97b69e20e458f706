#include "screen/images/bmp_loader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "frame/runtime.h"
#include "screen/images/bitmap_header.h"
#include "screen/images/bitmap_rows.h"
#include "screen/images/byte_reader.h"
#include "screen/state/screen_state.h"

namespace zopp {

namespace {

constexpr std::size_t kMaxName = 259;

constexpr std::uint8_t kBitmapMark = 0x42;     // 'B'
constexpr std::uint8_t kShortDumpMark = 0xFD;  // 7-byte header, 16-bit length in its last two bytes
constexpr std::uint8_t kLongDumpMark = 0xFE;   // 5-byte header, 32-bit length after the mark

// Where loaded pixels go: rows of a real image, the screen's work page, or raw memory given a new header.
struct Destination {
    std::uint8_t* pixels = nullptr;
    std::int32_t bytesPerPixel = 0, width = 0, height = 0, pitch = 0;
    bool isScreen = false;
    std::uint8_t* rawHeader = nullptr;  // raw memory: the header to write once the file is accepted
};

struct FileCloser {
    // A file only read: closing it cannot lose anything.
    void operator()(std::FILE* f) const { (void)std::fclose(f); }
};

// Copies a raw dump as it is to the start of the destination block, or of the screen's work page; a dump
// longer than those bytes is refused, a file shorter than its dump keeps what it had.
std::int32_t loadRawDump(ByteReader& in, std::uint8_t mark, ImageBytes destination) {
    std::uint64_t length = 0;
    if (mark == kShortDumpMark) {
        const auto n = in.skip(4) ? in.u16() : std::nullopt;
        if (!n) return FileIoError;
        length = *n;
    } else {
        const auto n = in.u32();
        if (!n) return FileIoError;
        length = *n;
    }
    ScreenState* screen = currentScreen();
    const bool toScreen = destination.empty();
    if (toScreen && !screen) return IllegalFunctionCall;
    std::span<std::uint8_t> room =
        toScreen ? std::span<std::uint8_t>(screen->pages[std::size_t(screen->workPage)]) : destination;
    if (length > room.size())
        return IllegalFunctionCall;  // the dump names more bytes than the destination owns

    const std::uint64_t available = std::min<std::uint64_t>(length, in.remaining());
    const auto bytes = in.bytes(available);
    const ScreenLock lock;
    std::memcpy(room.data(), bytes->data(), bytes->size());
    if (toScreen && screen->workIsVisible()) markAllDirty(*screen);
    return available == length ? 0 : FileIoError;
}

// The destination's geometry; nullopt when raw memory cannot hold the whole picture.
std::optional<Destination> resolveDestination(ScreenState& screen, ImageBytes destination,
                                              const BitmapHeader& h) {
    Destination d;
    if (destination.empty()) {
        d = {screen.workPixels(),
             screen.bytesPerPixel,
             screen.width,
             screen.height,
             screen.pitch,
             true,
             nullptr};
        return d;
    }
    if (const auto info = readImageHeader(destination, screen.bytesPerPixel)) {
        d = {destination.data() + info->pixelOffset,
             info->bytesPerPixel,
             info->width,
             info->height,
             info->pitch,
             false,
             nullptr};
        return d;
    }
    // Raw memory gets the whole picture at the screen's pixel size, but only if it has the room.
    const std::int64_t pitch = (std::int64_t(h.width) * screen.bytesPerPixel + 15) & ~std::int64_t{15};
    const std::uint64_t need = kImageHeaderBytes + std::uint64_t(pitch) * std::uint64_t(h.height);
    if (pitch > INT32_MAX || need > destination.size()) return std::nullopt;
    d = {destination.data() + kImageHeaderBytes,
         screen.bytesPerPixel,
         h.width,
         h.height,
         static_cast<std::int32_t>(pitch),
         false,
         destination.data()};
    return d;
}

void copyPalette(ScreenState& screen, const BitmapPalette& palette, std::uint32_t* paletteOut) {
    if (palette.count == 0) return;
    if (paletteOut) {
        // Callers get 6 bits per channel.
        for (std::int32_t i = 0; i < palette.count; ++i) {
            const std::uint32_t c = palette.entries[std::size_t(i)];
            paletteOut[i] =
                (((c >> 16) & 0xFF) >> 2) << 16 | (((c >> 8) & 0xFF) >> 2) << 8 | ((c & 0xFF) >> 2);
        }
        return;
    }
    std::copy_n(palette.entries.begin(), palette.count, screen.palette.begin());
    paletteChanged(screen);
}

std::int32_t loadBitmapFile(std::span<const std::uint8_t> file, ImageBytes destination,
                            std::uint32_t* paletteOut) {
    ScreenState* screen = currentScreen();
    if (!screen) return IllegalFunctionCall;
    const auto header = readBitmapHeader(file);
    if (!header) return FileIoError;
    const auto palette = readBitmapPalette(file, *header);
    if (!palette) return FileIoError;
    const auto target = resolveDestination(*screen, destination, *header);
    if (!target) return IllegalFunctionCall;
    const RowConverter convert = pickRowConverter(header->bitCount, target->bytesPerPixel);
    if (!convert) return IllegalFunctionCall;

    const std::int32_t areaWidth = std::min(header->width, target->width);
    const std::int32_t areaHeight = std::min(header->height, target->height);
    const std::uint64_t rowBytes = header->rowBytes();

    const ScreenLock lock;
    copyPalette(*screen, *palette, paletteOut);
    if (target->rawHeader)
        writeImageHeader(target->rawHeader, target->bytesPerPixel, target->width, target->height);
    const ConvertSource source{&*header, screen->palette.data(), screen->colourMask};
    std::int32_t result = 0;
    ByteReader in(file);
    if (!in.seek(header->dataOffset)) result = FileIoError;
    for (std::int32_t stored = 0; result == 0 && stored < header->height; ++stored) {
        const auto row = in.bytes(rowBytes);
        if (!row) {
            result = FileIoError;  // rows already converted stay
            break;
        }
        const std::int32_t y = header->topDown ? stored : header->height - 1 - stored;
        if (y < areaHeight)
            convert(source, row->data(), target->pixels + std::size_t(y) * std::size_t(target->pitch),
                    areaWidth);
    }
    if (target->isScreen && screen->workIsVisible()) markAllDirty(*screen);
    return result;
}

// Reads at most kMaxBitmapFileBytes + 1 bytes, so an oversized file shows as oversized.
std::optional<std::vector<std::uint8_t>> readWholeFile(std::FILE* f) {
    std::vector<std::uint8_t> bytes;
    // One buffer of the file's size instead of a doubling series: each outgrown block of that series
    // would stay with the allocator, resident, for the rest of the run.
    if (std::fseek(f, 0, SEEK_END) == 0) {
        const long size = std::ftell(f);
        if (std::fseek(f, 0, SEEK_SET) != 0) return std::nullopt;
        if (size > 0) bytes.reserve(std::min(static_cast<std::size_t>(size), kMaxBitmapFileBytes + 1));
    }
    std::uint8_t chunk[65536];
    while (bytes.size() <= kMaxBitmapFileBytes) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, f);
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (got < sizeof chunk) break;
    }
    if (std::ferror(f) || bytes.size() > kMaxBitmapFileBytes) return std::nullopt;
    return bytes;
}

std::int32_t loadBitmapFileNamed(std::string_view fileName, ImageBytes destination,
                                 std::uint32_t* paletteOut) {
    if (destination.empty() && !currentScreen()) return IllegalFunctionCall;
    std::string name(fileName.substr(0, kMaxName));
    std::replace(name.begin(), name.end(), '\\', '/');
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(name.c_str(), "rb"));
    if (!file) return FileNotFound;
    const auto bytes = readWholeFile(file.get());
    file.reset();  // closed before decoding, whatever the outcome
    if (!bytes) return FileIoError;
    return loadBitmapBytes(*bytes, destination, paletteOut);
}

}  // namespace

std::int32_t loadBitmapBytes(std::span<const std::uint8_t> file, ImageBytes destination,
                             std::uint32_t* paletteOut) {
    ByteReader in(file);
    const auto mark = in.u8();
    if (!mark) return FileIoError;
    if (*mark == kShortDumpMark || *mark == kLongDumpMark) return loadRawDump(in, *mark, destination);
    if (*mark != kBitmapMark) return FileIoError;
    return loadBitmapFile(file, destination, paletteOut);
}

std::int32_t loadBitmap(std::string_view fileName, ImageBytes destination, std::uint32_t* paletteOut) {
    return storeErrorNumber(loadBitmapFileNamed(fileName, destination, paletteOut));
}

}  // namespace zopp
