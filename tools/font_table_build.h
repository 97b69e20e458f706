// Builds the built-in font and palette table from the glyph and palette files in tools/fontdata.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zopp::tools {

// The 10742-byte table, or nullopt with a message in error when a file is missing or has the wrong size.
std::optional<std::vector<std::uint8_t>> buildFontTable(const std::filesystem::path& fontData,
                                                        std::string& error);

// 6-bit palette value to 8 bits by repeating its top bits below it: 0 → 0, 21 → 85, 42 → 170, 63 → 255.
constexpr std::uint8_t widenSixBit(std::uint8_t v) {
    return static_cast<std::uint8_t>(v << 2 | v >> 4);
}

}  // namespace zopp::tools
