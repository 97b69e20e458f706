#include "screen/text/lzw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string_view>
#include <vector>

#include "tools/lzw_pack.h"

namespace zopp {
namespace {

std::vector<std::uint8_t> bytesOf(std::string_view s) {
    return {s.begin(), s.end()};
}

// Packs hand-picked codes two per three bytes, a final odd code in two.
std::vector<std::uint8_t> packCodes(const std::vector<std::uint16_t>& codes) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < codes.size(); i += 2) {
        const std::uint16_t a = codes[i];
        const std::uint16_t b = i + 1 < codes.size() ? codes[i + 1] : 0;
        out.push_back(static_cast<std::uint8_t>(a & 0xFF));
        out.push_back(static_cast<std::uint8_t>(a >> 8 | (b & 0x0F) << 4));
        if (i + 1 < codes.size()) out.push_back(static_cast<std::uint8_t>(b >> 4));
    }
    return out;
}

std::vector<std::uint8_t> unpackedAs(const std::vector<std::uint8_t>& packed, std::size_t size,
                                     LzwResult& result) {
    std::vector<std::uint8_t> out(size, 0xAA);
    result = lzwUnpack(packed, out);
    return out;
}

std::vector<std::uint8_t> noisyData(std::size_t size) {
    std::mt19937 random(7);
    std::vector<std::uint8_t> data(size);
    for (std::size_t i = 0; i < size; ++i) {
        // Mostly a small alphabet with runs, so strings repeat and the dictionary grows long entries.
        data[i] = random() % 4 == 0 ? static_cast<std::uint8_t>(random())
                                    : static_cast<std::uint8_t>('a' + random() % 3);
    }
    return data;
}

TEST(Lzw, PackedDataUnpacksToItself) {
    for (const auto& data : {bytesOf("x"), bytesOf("TOBEORNOTTOBEORTOBEORNOT"),
                             bytesOf(std::string(1000, 'z')), noisyData(50000)}) {
        LzwResult result{};
        const auto packed = tools::lzwPack(data);
        EXPECT_EQ(unpackedAs(packed, data.size(), result), data);
        EXPECT_EQ(result.written, data.size());
        EXPECT_TRUE(result.complete);
    }
}

TEST(Lzw, DictionaryStaysFixedOnceCode4094IsTaken) {
    // 50000 noisy bytes need far more than 3839 entries; after the last one both sides must stop adding.
    const auto data = noisyData(50000);
    const auto packed = tools::lzwPack(data);
    ASSERT_GT(data.size() * 3 / 2, packed.size());
    LzwResult result{};
    EXPECT_EQ(unpackedAs(packed, data.size(), result), data);
}

TEST(Lzw, CodeEqualToNextFreeIsPreviousStringPlusItsFirstByte) {
    LzwResult result{};
    // 'a', then 256 before it exists: "a" + 'a'; then 257 before it exists: "aa" + 'a'.
    const auto out = unpackedAs(packCodes({'a', 256, 257, kLzwEnd}), 6, result);
    EXPECT_EQ(out, bytesOf("aaaaaa"));
    EXPECT_TRUE(result.complete);
}

TEST(Lzw, EmptyStreamEndsAtOnce) {
    LzwResult result{};
    EXPECT_EQ(unpackedAs(packCodes({kLzwEnd}), 4, result), std::vector<std::uint8_t>(4, 0));
    EXPECT_EQ(result.written, 0u);
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(unpackedAs({}, 4, result), std::vector<std::uint8_t>(4, 0));
    EXPECT_FALSE(result.complete);
}

TEST(Lzw, TruncatedStreamKeepsDecodedPrefixAndZeroFillsTheRest) {
    const auto data = noisyData(3000);
    auto packed = tools::lzwPack(data);
    packed.resize(packed.size() / 2);
    LzwResult result{};
    const auto out = unpackedAs(packed, data.size(), result);
    EXPECT_FALSE(result.complete);
    ASSERT_GT(result.written, 0u);
    ASSERT_LT(result.written, data.size());
    EXPECT_TRUE(
        std::equal(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(result.written), data.begin()));
    EXPECT_TRUE(std::all_of(out.begin() + static_cast<std::ptrdiff_t>(result.written), out.end(),
                            [](std::uint8_t b) { return b == 0; }));
}

TEST(Lzw, CorruptCodesStopDecoding) {
    LzwResult result{};
    // A code beyond the next free one.
    EXPECT_EQ(unpackedAs(packCodes({'a', 'b', 300, 'c', kLzwEnd}), 4, result),
              bytesOf(std::string("ab\0\0", 4)));
    EXPECT_EQ(result.written, 2u);
    EXPECT_FALSE(result.complete);
    // A first code that is not a single byte.
    unpackedAs(packCodes({256, kLzwEnd}), 4, result);
    EXPECT_EQ(result.written, 0u);
    EXPECT_FALSE(result.complete);
}

TEST(Lzw, NeverWritesPastTheOutput) {
    const auto data = bytesOf(std::string(200, 'q'));
    const auto packed = tools::lzwPack(data);
    std::vector<std::uint8_t> buffer(120, 0xEE);
    const LzwResult result = lzwUnpack(packed, std::span(buffer).first(100));
    EXPECT_EQ(result.written, 100u);
    EXPECT_FALSE(result.complete);
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.begin() + 100, [](std::uint8_t b) { return b == 'q'; }));
    EXPECT_TRUE(std::all_of(buffer.begin() + 100, buffer.end(), [](std::uint8_t b) { return b == 0xEE; }));
}

}  // namespace
}  // namespace zopp
