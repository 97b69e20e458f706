#include "tests/tools/picture_checks.h"
#include "harness/support/test_paths.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace zopp::pictures::testing {
namespace {

std::uint32_t little(const std::vector<std::uint8_t>& bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value << 8 | bytes[at + i];
    }
    return value;
}

double linear(std::uint32_t channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Bitmap decodeBmp24(const std::vector<std::uint8_t>& file) {
    constexpr std::size_t headers = 54;
    if (file.size() < headers || file[0] != 'B' || file[1] != 'M' || little(file, 14, 4) != 40 ||
        little(file, 28, 2) != 24 || little(file, 30, 4) != 0) {
        return {};
    }
    const auto width = static_cast<int>(little(file, 18, 4));
    const auto height = static_cast<int>(little(file, 22, 4));
    const std::size_t offset = little(file, 10, 4);
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    if (width <= 0 || height <= 0 || offset + rowBytes * height > file.size()) {
        return {};
    }
    Bitmap bitmap{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
    for (int y = 0; y < height; ++y) {
        const std::size_t row = offset + rowBytes * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            bitmap.pixels[static_cast<std::size_t>(y) * width + x] = little(file, row + 3 * x, 3);
        }
    }
    return bitmap;
}

Bitmap loadPicture(const std::string& name) {
    return decodeBmp24(readFile(std::filesystem::path(zopp::testing::sourcePath("dat")) / name));
}

double luminance(std::uint32_t rrggbb) {
    return 0.2126 * linear(rrggbb >> 16 & 0xFF) + 0.7152 * linear(rrggbb >> 8 & 0xFF) +
           0.0722 * linear(rrggbb & 0xFF);
}

double contrast(std::uint32_t a, std::uint32_t b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double worstContrast(const Bitmap& picture, int x0, int y0, int x1, int y1, std::uint32_t text) {
    double worst = 21;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            worst = std::min(worst, contrast(picture.at(x, y), text));
        }
    }
    return worst;
}

}  // namespace zopp::pictures::testing
