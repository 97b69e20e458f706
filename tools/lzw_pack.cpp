#include "tools/lzw_pack.h"

#include <unordered_map>

#include "screen/text/lzw.h"

namespace zopp::tools {

namespace {

void packCodes(const std::vector<std::uint16_t>& codes, std::vector<std::uint8_t>& out) {
    for (std::size_t i = 0; i < codes.size(); i += 2) {
        const std::uint16_t a = codes[i];
        out.push_back(static_cast<std::uint8_t>(a & 0xFF));
        if (i + 1 == codes.size()) {
            out.push_back(static_cast<std::uint8_t>(a >> 8));
            break;
        }
        const std::uint16_t b = codes[i + 1];
        out.push_back(static_cast<std::uint8_t>(a >> 8 | (b & 0x0F) << 4));
        out.push_back(static_cast<std::uint8_t>(b >> 4));
    }
}

}  // namespace

std::vector<std::uint8_t> lzwPack(std::span<const std::uint8_t> data) {
    // Entry key: the prefix code shifted past the byte that extends it.
    std::unordered_map<std::uint32_t, std::uint16_t> entries;
    std::vector<std::uint16_t> codes;
    std::uint16_t next = 256;
    if (!data.empty()) {
        std::uint16_t current = data[0];
        for (std::size_t i = 1; i < data.size(); ++i) {
            const std::uint32_t key = std::uint32_t{current} << 8 | data[i];
            if (const auto found = entries.find(key); found != entries.end()) {
                current = found->second;
                continue;
            }
            codes.push_back(current);
            if (next <= kLzwLastEntry) entries.emplace(key, next++);
            current = data[i];
        }
        codes.push_back(current);
    }
    codes.push_back(kLzwEnd);
    std::vector<std::uint8_t> out;
    packCodes(codes, out);
    return out;
}

}  // namespace zopp::tools
