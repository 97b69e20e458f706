#include "harness/support/bmp_builder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <unistd.h>

namespace zopp::testing {

namespace {

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

std::vector<std::uint8_t> packRow(const BmpLayout& s, std::int32_t y) {
    std::vector<std::uint8_t> row;
    const std::int32_t w = s.width;
    if (s.bitCount < 8) {
        row.assign((std::size_t(w) * s.bitCount + 31) / 32 * 4, 0);
        for (std::int32_t x = 0; x < w; ++x) {
            const std::uint32_t v = s.pixel(x, y);
            for (int b = 0; b < s.bitCount; ++b) {
                const std::size_t bit = std::size_t(x) * s.bitCount + std::size_t(b);
                if ((v >> (s.bitCount - 1 - b)) & 1) row[bit / 8] |= std::uint8_t(0x80 >> (bit % 8));
            }
        }
        return row;
    }
    const int bytes = (s.bitCount + 7) / 8;
    for (std::int32_t x = 0; x < w; ++x) {
        const std::uint32_t v = s.pixel(x, y);
        for (int i = 0; i < bytes; ++i)
            row.push_back(std::uint8_t(std::uint64_t{v} >> (8 * i)));
    }
    while (row.size() % 4)
        row.push_back(0);
    return row;
}

}  // namespace

std::vector<std::uint8_t> buildBmp(const BmpLayout& s) {
    const bool core = s.headerSize == 12;
    const bool maskTable = s.compression == 3 && s.headerSize < 108;
    const std::size_t entry = core ? 3 : 4;
    const std::size_t naturalOffset = 14 + s.headerSize + (maskTable ? 12 : 0) + s.palette.size() * entry;
    const std::uint32_t offset =
        s.dataOffset < 0 ? std::uint32_t(naturalOffset) : std::uint32_t(s.dataOffset);

    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put32(out, 0);  // file size: not checked by readers here
    put32(out, 0);
    put32(out, offset);
    put32(out, s.headerSize);
    if (core) {
        put16(out, std::uint32_t(s.width));
        put16(out, std::uint32_t(s.height));
        put16(out, s.planes);
        put16(out, s.bitCount);
    } else {
        std::vector<std::uint8_t> info;
        put32(info, std::uint32_t(s.width));
        put32(info, std::uint32_t(s.height));
        put16(info, s.planes);
        put16(info, s.bitCount);
        put32(info, s.compression);
        put32(info, 0);  // image size
        for (int i = 0; i < 4; ++i)
            put32(info, 0);  // resolution, colours used, important
        for (std::uint32_t m : s.masks)
            put32(info, m);  // present in headers of 56 bytes and more
        info.resize(s.headerSize - 4, 0);
        out.insert(out.end(), info.begin(), info.end());
    }
    if (maskTable) {
        for (int i = 0; i < 3; ++i)
            put32(out, s.masks[i]);
    }
    for (std::uint32_t c : s.palette) {
        out.push_back(std::uint8_t(c));
        out.push_back(std::uint8_t(c >> 8));
        out.push_back(std::uint8_t(c >> 16));
        if (!core) out.push_back(0);
    }
    out.resize(std::max<std::size_t>(out.size(), offset), 0);
    const std::int32_t rows = s.height < 0 ? -s.height : s.height;
    for (std::int32_t i = 0; i < rows; ++i) {
        const std::int32_t y = s.height < 0 ? i : rows - 1 - i;
        const auto row = packRow(s, y);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::string writeTempFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const auto dir = std::filesystem::temp_directory_path() / ("zopp-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto path = (dir / name).string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return path;
}

}  // namespace zopp::testing
