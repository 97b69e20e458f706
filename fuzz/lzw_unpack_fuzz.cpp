// Feeds arbitrary byte streams to the LZW unpacker: it must stay inside its output, zero-fill what it
// did not decode, and report no more bytes than fit.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "screen/text/font_table_layout.h"
#include "screen/text/lzw.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte picks the output size, so short outputs are fuzzed as well as the real table's.
    if (size == 0) return 0;
    const std::size_t outSize = data[0] == 0xFF ? zopp::font_table::kTableBytes : data[0] * 7u;
    std::vector<std::uint8_t> out(outSize, 0xA5);
    const auto result = zopp::lzwUnpack({data + 1, size - 1}, out);
    if (result.written > out.size()) std::abort();
    for (std::size_t i = result.written; i < out.size(); ++i) {
        if (out[i] != 0) std::abort();
    }
    return 0;
}
