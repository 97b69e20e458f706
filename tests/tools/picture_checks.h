// Reading the committed pictures back and measuring them as a player would see them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zopp::pictures::testing {

std::vector<std::uint8_t> readFile(const std::filesystem::path& path);

// A decoded 24-bit bottom-up BMP, pixels top row first as 0xRRGGBB; empty when the file is not one.
struct Bitmap {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
Bitmap decodeBmp24(const std::vector<std::uint8_t>& file);
Bitmap loadPicture(const std::string& name);  // from the source tree's dat/

// Relative luminance of an sRGB colour and the contrast ratio of two colours, as web guidelines define.
double luminance(std::uint32_t rrggbb);
double contrast(std::uint32_t a, std::uint32_t b);

// The lowest contrast between text and any pixel of the rectangle [x0, x1) × [y0, y1).
double worstContrast(const Bitmap& picture, int x0, int y0, int x1, int y1, std::uint32_t text);

}  // namespace zopp::pictures::testing
