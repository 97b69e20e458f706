// Feeds arbitrary bytes to the bitmap loader's decoding stage, into images of every pixel size, raw
// memory and the screen. Any read or write outside a buffer, any undefined behaviour or any result
// other than 0 to 3 is a finding.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "screen/backend/backend.h"
#include "screen/images/bmp_loader.h"
#include "screen/images/image.h"
#include "screen/null/null_backend.h"
#include "screen/window/backend_choice.h"
#include "screen/window/screen.h"

namespace {

void check(std::int32_t result) {
    if (result < 0 || result > 3) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    zopp::setBackendFactories(zopp::kNullBackends);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The screen's depth decides raw-memory headers, paletted converters and the index mask; the input's
    // length picks it so every input replays the same way.
    constexpr std::int32_t depths[] = {32, 16, 8};
    if (zopp::openScreen(64, 48, depths[size % 3], 0, 4, 0) != 0) std::abort();
    const std::span<const std::uint8_t> file(data, size);
    std::uint32_t palette[256];
    for (const std::int32_t depth : {32, 16, 8}) {
        auto image = zopp::createImage(37, 23, 0, depth, zopp::DEFAULT_COLOR);
        check(zopp::loadBitmapBytes(file, image->bytes(), nullptr));
        check(zopp::loadBitmapBytes(file, image->bytes(), palette));
    }
    std::vector<std::uint8_t> raw(4096, 0);  // no header: raw memory
    check(zopp::loadBitmapBytes(file, raw, nullptr));
    check(zopp::loadBitmapBytes(file, zopp::kScreen, nullptr));
    return 0;
}
