// Writes one small valid file of every variant the bitmap loader reads into the folder given as argument.
#include <cstdio>
#include <string>

#include "harness/support/bmp_builder.h"

using zopp::testing::BmpLayout;
using zopp::testing::buildBmp;

namespace {

void write(const std::string& folder, const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen((folder + "/" + name).c_str(), "wb");
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::uint32_t pattern(std::int32_t x, std::int32_t y) {
    return std::uint32_t(x * 73 + y * 151 + x * y) * 2654435761u;
}

BmpLayout layout(std::int32_t w, std::int32_t h, std::uint16_t bits, std::uint32_t headerSize = 40) {
    BmpLayout s;
    s.width = w;
    s.height = h;
    s.bitCount = bits;
    s.headerSize = headerSize;
    const std::uint32_t mask = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    s.pixel = [mask](std::int32_t x, std::int32_t y) { return pattern(x, y) & mask; };
    if (bits <= 8) {
        for (std::uint32_t i = 0; i < (1u << bits); ++i)
            s.palette.push_back(pattern(std::int32_t(i), 7) & 0xFFFFFF);
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 1;
    }
    const std::string out = argv[1];
    for (std::uint16_t bits : {1, 2, 4, 8, 16, 24, 32}) {
        write(out, "bottom-up-" + std::to_string(bits) + ".bmp", buildBmp(layout(13, 7, bits)));
        auto top = layout(9, -5, bits);
        write(out, "top-down-" + std::to_string(bits) + ".bmp", buildBmp(top));
        write(out, "core-" + std::to_string(bits) + ".bmp", buildBmp(layout(11, 6, bits, 12)));
        write(out, "v4-" + std::to_string(bits) + ".bmp", buildBmp(layout(10, 4, bits, 108)));
    }
    auto short16 = layout(12, 3, 8);
    short16.palette.resize(16);
    write(out, "palette-16-of-256.bmp", buildBmp(short16));

    auto f565 = layout(14, 5, 16);
    f565.compression = 3;
    f565.masks[0] = 0xF800, f565.masks[1] = 0x07E0, f565.masks[2] = 0x001F;
    write(out, "bitfields-565.bmp", buildBmp(f565));
    auto argb = layout(8, -6, 32, 108);
    argb.compression = 3;
    argb.masks[0] = 0x00FF0000, argb.masks[1] = 0x0000FF00, argb.masks[2] = 0x000000FF,
    argb.masks[3] = 0xFF000000;
    write(out, "bitfields-argb-v4.bmp", buildBmp(argb));
    auto bgr32 = layout(6, 6, 32);
    bgr32.compression = 3;
    bgr32.masks[0] = 0x000003FF, bgr32.masks[1] = 0x000FFC00, bgr32.masks[2] = 0x3FF00000;
    write(out, "bitfields-10-bit.bmp", buildBmp(bgr32));
    auto v5 = layout(7, 7, 24, 124);
    write(out, "v5-24.bmp", buildBmp(v5));
    auto offsetZero = layout(5, 5, 4);
    offsetZero.dataOffset = 0;
    write(out, "offset-zero-4.bmp", buildBmp(offsetZero));

    write(out, "dump-short.bin", {0xFD, 0, 0, 0, 0, 8, 0, 1, 2, 3, 4, 5, 6, 7, 8});
    write(out, "dump-long.bin", {0xFE, 6, 0, 0, 0, 9, 8, 7, 6, 5, 4});
    return 0;
}
