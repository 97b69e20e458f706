#include "screen/text/lzw.h"

#include <algorithm>
#include <array>
#include <optional>

namespace zopp {

namespace {

// The i-th 12-bit code, or nullopt when the stream ends inside it.
std::optional<std::uint16_t> codeAt(std::span<const std::uint8_t> packed, std::size_t i) {
    const std::size_t base = i / 2 * 3;
    if (i % 2 == 0) {
        if (base + 1 >= packed.size()) return std::nullopt;
        return static_cast<std::uint16_t>(packed[base] | (packed[base + 1] & 0x0F) << 8);
    }
    if (base + 2 >= packed.size()) return std::nullopt;
    return static_cast<std::uint16_t>(packed[base + 1] >> 4 | packed[base + 2] << 4);
}

// Entry k is the string of entry prefix[k] followed by suffix[k]; single bytes have no prefix.
struct Dictionary {
    std::array<std::uint16_t, 4096> prefix{};
    std::array<std::uint8_t, 4096> suffix{};
    std::array<std::uint8_t, 4096> first{};
    std::array<std::uint16_t, 4096> length{};

    Dictionary() {
        for (std::uint16_t c = 0; c < 256; ++c) {
            suffix[c] = first[c] = static_cast<std::uint8_t>(c);
            length[c] = 1;
        }
    }
};

}  // namespace

LzwResult lzwUnpack(std::span<const std::uint8_t> packed, std::span<std::uint8_t> out) {
    Dictionary dict;
    std::size_t pos = 0;
    bool complete = false;
    std::uint16_t next = 256;
    std::optional<std::uint16_t> previous;

    for (std::size_t i = 0;; ++i) {
        const auto code = codeAt(packed, i);
        if (!code) break;
        const std::uint16_t c = *code;
        if (c == kLzwEnd) {
            complete = true;
            break;
        }
        if (!previous) {
            if (c > 255) break;
        } else {
            if (c > next) break;
            if (next <= kLzwLastEntry) {
                // c == next is the string-plus-its-own-first-byte case: the new entry is that string.
                const std::uint16_t p = *previous;
                dict.prefix[next] = p;
                dict.suffix[next] = c < next ? dict.first[c] : dict.first[p];
                dict.first[next] = dict.first[p];
                dict.length[next] = static_cast<std::uint16_t>(dict.length[p] + 1);
                ++next;
            }
        }
        const std::size_t length = dict.length[c];
        const std::size_t room = out.size() - pos;
        // Strings are linked back to front, so the tail is written first.
        std::uint16_t k = c;
        for (std::size_t j = length; j-- > 0;) {
            if (j < room) out[pos + j] = dict.suffix[k];
            k = dict.prefix[k];
        }
        if (length > room) {
            pos = out.size();
            break;
        }
        pos += length;
        previous = c;
    }
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(pos), out.end(), std::uint8_t{0});
    return {pos, complete};
}

}  // namespace zopp
