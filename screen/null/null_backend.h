// A back-end with no window and no refresh thread: drawing lands in the frame buffer only, and its lines
// stay dirty. Used by the drawing tests, the fuzzers and the benchmarks; tests derive from it to watch
// single calls.
#pragma once

#include <cstdint>
#include <memory>

#include "screen/window/backend.h"

namespace zopp::testing {

class WindowLessBackend : public Backend {
  public:
    LoopHost loopHost() const override { return LoopHost::NeverRefreshed; }
    bool createWindow(ScreenState&, std::int32_t, std::string_view, EventTranslator&) override {
        return true;
    }
    void destroyWindow() override {}
    void present(std::span<const LineSpan>) override {}
    void pumpInput(EventTranslator&) override {}
    bool waitForInput(std::optional<std::chrono::nanoseconds>) override { return false; }
    void wake() override {}
    void setTitle(std::string_view) override {}
    void capturePointer() override {}
    void releasePointer() override {}
    bool holdsPointer() const override { return false; }
    bool pointerOverClient() const override { return false; }
    BeepSoundHook soundOutput() const override { return nullptr; }
};

// Refuses the OpenGL flag, like the window-surface back-end.
std::unique_ptr<Backend> makeWindowLessBackend(std::int32_t flags);

inline constexpr BackendFactory windowLessBackends[] = {makeWindowLessBackend};

}  // namespace zopp::testing
