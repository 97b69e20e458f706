// Weak stand-ins for routines of the frame, fonts and images whose own code is not linked into a test.
// A real definition anywhere in the link replaces each of them.
#include <optional>

#include "frame/runtime.h"
#include "frame/timing.h"
#include "screen/font.h"
#include "screen/image.h"

namespace zopp {

namespace {

constexpr std::uint8_t blankGlyphs[256 * 16] = {};
constexpr FontTable blankFonts[] = {{8, 8, blankGlyphs}, {8, 14, blankGlyphs}, {8, 16, blankGlyphs}};

}  // namespace

[[gnu::weak]] void unpackBuiltinTable() {}
[[gnu::weak]] const FontTable* builtinFont(std::int32_t height) {
    for (const FontTable& font : blankFonts) {
        if (font.height == height) return &font;
    }
    return nullptr;
}
[[gnu::weak]] std::span<const std::uint8_t> defaultPalette(std::int32_t) {
    return {};
}
[[gnu::weak]] std::optional<ImageInfo> readImageHeader(ConstImageBytes, std::int32_t) {
    return std::nullopt;
}
[[gnu::weak]] int runtimeArgumentCount() {
    return 0;
}
[[gnu::weak]] char** runtimeArguments() {
    return nullptr;
}
[[gnu::weak]] void registerExitHook(void (*)()) {}
[[gnu::weak]] void forbidExitOnCurrentThread() {}
[[gnu::weak]] bool isParkedByExit(std::thread::id) {
    return false;
}
[[gnu::weak]] void setKeyPressedHook(KeyPressedHook) {}

}  // namespace zopp
