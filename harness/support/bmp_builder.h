// Builds BMP files in memory for tests, the fuzzer's seed corpus and the benchmarks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zopp::testing {

struct BmpLayout {
    std::int32_t width = 1;
    std::int32_t height = 1;  // negative: rows stored top to bottom
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t headerSize = 40;          // 12 (core), 16 and up
    std::vector<std::uint32_t> palette;     // 0x00RRGGBB entries
    std::uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha: written for bit fields / long headers
    std::int64_t dataOffset = -1;           // -1: right after header, masks and palette
    std::uint16_t planes = 1;
    // The stored value of pixel (x, y), y counted from the top of the picture: an index for 8 bits or
    // less, else the little-endian pixel value.
    std::function<std::uint32_t(std::int32_t x, std::int32_t y)> pixel = [](std::int32_t, std::int32_t) {
        return 0u;
    };
};

std::vector<std::uint8_t> buildBmp(const BmpLayout& layout);

// Writes bytes to a fresh file under the temporary folder and returns its path.
std::string writeTempFile(const std::string& name, const std::vector<std::uint8_t>& bytes);

}  // namespace zopp::testing
