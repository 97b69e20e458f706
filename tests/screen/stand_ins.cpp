// Weak stand-ins for pieces of other modules that the screen tests link against but never exercise:
// the built-in font table, the event queue, the run-time frame and the SDL back-ends. A real definition
// anywhere in the link replaces them; delete this file once all of them are in.
#include <array>

#include "frame/events.h"
#include "frame/runtime.h"
#include "frame/timing.h"
#include "screen/font.h"
#include "screen/sdl_backend.h"

#define ZOPP_STAND_IN __attribute__((weak))

namespace zopp {

namespace {
std::array<std::uint8_t, 256 * 16> blankGlyphs{};
std::array<std::uint8_t, 256 * 3> blackPalette{};
const FontTable fonts[] = {
    {8, 8, blankGlyphs.data()}, {8, 14, blankGlyphs.data()}, {8, 16, blankGlyphs.data()}};
}  // namespace

ZOPP_STAND_IN void unpackBuiltinTable() {}

ZOPP_STAND_IN const FontTable* builtinFont(std::int32_t height) {
    for (const auto& f : fonts) {
        if (f.height == height) return &f;
    }
    return nullptr;
}

ZOPP_STAND_IN std::span<const std::uint8_t> defaultPalette(std::int32_t entries) {
    if (entries != 2 && entries != 16 && entries != 64 && entries != 256) return {};
    return std::span<const std::uint8_t>(blackPalette).first(std::size_t(entries) * 3);
}

ZOPP_STAND_IN void openEventQueue() {}
ZOPP_STAND_IN void closeEventQueue() {}
ZOPP_STAND_IN int runtimeArgumentCount() {
    return 0;
}
ZOPP_STAND_IN char** runtimeArguments() {
    return nullptr;
}
ZOPP_STAND_IN void registerExitHook(void (*)()) {}
ZOPP_STAND_IN void setKeyPressedHook(KeyPressedHook) {}
ZOPP_STAND_IN std::unique_ptr<Backend> makeSdlSoftwareBackend(std::int32_t) {
    return nullptr;
}
ZOPP_STAND_IN std::unique_ptr<Backend> makeSdlOpenGLBackend(std::int32_t) {
    return nullptr;
}

}  // namespace zopp
