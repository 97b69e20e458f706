#include "screen/text/font.h"

#include <array>
#include <mutex>

#include "screen/text/font_table_layout.h"
#include "screen/text/font_table_lzw.h"
#include "screen/text/lzw.h"

namespace zopp {

namespace {

using namespace font_table;

std::array<std::uint8_t, kTableBytes> table{};
std::once_flag unpacked;

const FontTable kFonts[] = {
    {8, 8, table.data() + kFont8X8},
    {8, 14, table.data() + kFont8X14},
    {8, 16, table.data() + kFont8X16},
};

}  // namespace

void unpackBuiltinTable() {
    // The packed table is checked against its source by the tests; were it ever short or damaged, the
    // missing part would stay zero (blank glyphs, black palette entries) rather than hold stray bytes.
    std::call_once(unpacked, [] { lzwUnpack(builtinTableLzw(), table); });
}

std::span<const std::uint8_t> builtinTable() {
    return table;
}

const FontTable* builtinFont(std::int32_t height) {
    for (const FontTable& font : kFonts) {
        if (font.height == height) return &font;
    }
    return nullptr;
}

std::span<const std::uint8_t> defaultPalette(std::int32_t entries) {
    const std::span<const std::uint8_t> all = table;
    switch (entries) {
        case 2:
            return all.subspan(kPalette2, 2 * 3);
        case 16:
            return all.subspan(kPalette16, 16 * 3);
        case 64:
            return all.subspan(kPalette64, 64 * 3);
        case 256:
            return all.subspan(kPalette256, 256 * 3);
        default:
            return {};
    }
}

}  // namespace zopp
