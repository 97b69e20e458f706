#include "tools/font_table_build.h"

#include <fstream>
#include <iterator>

#include "screen/text/font_table_layout.h"

namespace zopp::tools {

namespace {

using namespace font_table;

bool readExactly(const std::filesystem::path& file, std::size_t size, std::vector<std::uint8_t>& out,
                 std::string& error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = "cannot open " + file.string();
        return false;
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    if (bytes.size() != size) {
        error = file.string() + ": expected " + std::to_string(size) + " bytes, found " +
                std::to_string(bytes.size());
        return false;
    }
    out.insert(out.end(), bytes.begin(), bytes.end());
    return true;
}

// The source files keep the leftmost pixel in bit 7; the table keeps it in bit 0.
std::uint8_t reverseBits(std::uint8_t b) {
    std::uint8_t r = 0;
    for (int i = 0; i < 8; ++i)
        r = static_cast<std::uint8_t>(r | ((b >> i) & 1) << (7 - i));
    return r;
}

void appendRgb(std::vector<std::uint8_t>& out, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    out.push_back(r);
    out.push_back(g);
    out.push_back(b);
}

// The 16 text-mode colours: bit 0 blue, bit 1 green, bit 2 red at two thirds, bit 3 adds one third to
// each; colour 6 is brown (its green halved) rather than dark yellow.
void appendTextModePalette(std::vector<std::uint8_t>& out) {
    for (int i = 0; i < 16; ++i) {
        const auto level = [i](int bit) {
            return static_cast<std::uint8_t>((i >> bit & 1) * 0xAA + (i >> 3 & 1) * 0x55);
        };
        const std::uint8_t green = i == 6 ? 0x55 : level(1);
        appendRgb(out, level(2), green, level(0));
    }
}

// The 64 colours of 6-bit rgbRGB: bits 0-2 blue, green, red at two thirds, bits 3-5 the same at one third.
void appendRgbRgbPalette(std::vector<std::uint8_t>& out) {
    for (int i = 0; i < 64; ++i) {
        const auto level = [i](int bit) {
            return static_cast<std::uint8_t>((i >> bit & 1) * 0xAA + (i >> (bit + 3) & 1) * 0x55);
        };
        appendRgb(out, level(2), level(1), level(0));
    }
}

}  // namespace

std::optional<std::vector<std::uint8_t>> buildFontTable(const std::filesystem::path& fontData,
                                                        std::string& error) {
    std::vector<std::uint8_t> table;
    table.reserve(kTableBytes);
    if (!readExactly(fontData / "cp437-8x8.bin", kFont8X14 - kFont8X8, table, error) ||
        !readExactly(fontData / "cp437-8x14.bin", kFont8X16 - kFont8X14, table, error) ||
        !readExactly(fontData / "cp437-8x16.bin", kPalette2 - kFont8X16, table, error)) {
        return std::nullopt;
    }
    for (auto& b : table)
        b = reverseBits(b);

    appendRgb(table, 0, 0, 0);
    appendRgb(table, 0xFF, 0xFF, 0xFF);
    appendTextModePalette(table);
    appendRgbRgbPalette(table);

    std::vector<std::uint8_t> vga;
    if (!readExactly(fontData / "vga-default-palette-256.bin", kTableBytes - kPalette256, vga, error)) {
        return std::nullopt;
    }
    for (const std::uint8_t v : vga) {
        if (v > 63) {
            error = "vga-default-palette-256.bin: value above 63";
            return std::nullopt;
        }
        table.push_back(widenSixBit(v));
    }
    return table;
}

}  // namespace zopp::tools
