// The page keeps the value in the site's storage (page_frame.js), written synchronously in one piece, so a
// tab ended at any moment leaves the previous value or the new one, never a mix. The page's control to
// leave a game calls zoppLeaveGame.
#include "frame/platform/kept_value.h"

#include <emscripten.h>

#include "frame/keeping.h"

// page_frame.js
extern "C" std::int32_t zoppReadKeptValue();
extern "C" void zoppCopyKeptValue(std::uint8_t* into);
extern "C" void zoppWriteKeptValue(const std::uint8_t* value, std::int32_t size, std::int32_t inProgress);
extern "C" void zoppSayKeptValueRejected(const char* why, std::size_t length);

extern "C" EMSCRIPTEN_KEEPALIVE void zoppLeaveGame() {
    zopp::requestLeave();
}

namespace zopp::platform {

bool keepsValues() {
    return true;
}

std::vector<std::uint8_t> readKeptValue() {
    std::vector<std::uint8_t> value(static_cast<std::size_t>(zoppReadKeptValue()));
    if (!value.empty()) zoppCopyKeptValue(value.data());
    return value;
}

void writeKeptValue(std::span<const std::uint8_t> value, bool inProgress) {
    zoppWriteKeptValue(value.data(), static_cast<std::int32_t>(value.size()), inProgress ? 1 : 0);
}

void sayKeptValueRejected(std::string_view why) {
    zoppSayKeptValueRejected(why.data(), why.size());
}

}  // namespace zopp::platform
