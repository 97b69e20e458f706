#include "harness/support/memory_screen_fixture.h"

#include <cstring>
#include <vector>

#include "screen/null/null_backend.h"
#include "screen/state/screen_state.h"
#include "screen/state/screen_values.h"
#include "screen/window/backend_choice.h"
#include "screen/window/screen.h"

namespace zopp::testing {

namespace {

// One flag per line of the window: received in a transfer since the fixture last forgot them.
std::vector<bool> received;
LoopStep refresh;

class RecordingBackend final : public NullBackend {
  public:
    void takeStep(const LoopStep& step) override { refresh = step; }
    bool createWindow(ScreenState& screen, std::int32_t, std::string_view, EventTranslator&) override {
        received.assign(static_cast<std::size_t>(screen.height), false);
        return true;
    }
    void transferRows(const ConvertedLines& rows, std::int32_t) override {
        for (std::int32_t y = rows.first; y < rows.first + rows.count; ++y)
            received[static_cast<std::size_t>(y)] = true;
    }
};

std::unique_ptr<Backend> makeRecordingBackend(std::int32_t flags) {
    if (flags & ScreenOpenGL) return nullptr;
    return std::make_unique<RecordingBackend>();
}

constexpr BackendFactory kRecordingBackends[] = {makeRecordingBackend};

}  // namespace

void MemoryScreen::SetUp() {
    setBackendFactories(kRecordingBackends);
}

void MemoryScreen::TearDown() {
    closeScreen();
    setBackendFactories({});
}

void MemoryScreen::openMemoryScreen(std::int32_t width, std::int32_t height, std::int32_t depth,
                                    std::int32_t flags) {
    ASSERT_EQ(openScreen(width, height, depth, 0, flags, 0), 0);
}

std::uint32_t MemoryScreen::screenPixel(std::int32_t x, std::int32_t y) const {
    ScreenState* screen = currentScreen();
    const std::uint8_t* p = screen->workPixels() +
                            static_cast<std::size_t>(y) * static_cast<std::size_t>(screen->pitch) +
                            static_cast<std::size_t>(x) * static_cast<std::size_t>(screen->bytesPerPixel);
    std::uint32_t v = 0;
    std::memcpy(&v, p, static_cast<std::size_t>(screen->bytesPerPixel));
    return v;
}

bool MemoryScreen::lineDirty(std::int32_t y) const {
    refresh();
    return received[static_cast<std::size_t>(y)];
}

void MemoryScreen::clearDirty() {
    refresh();
    received.assign(received.size(), false);
}

}  // namespace zopp::testing
