// The null platform: a screen with no window, no refresh and no input, beside the real back-ends. Drawing
// lands in the frame buffer only and its lines stay marked dirty, so a program that reads the frame buffer
// (a renderer of pictures, a fuzzer, a benchmark, a test) runs anywhere, without a display. Chosen with
// setBackendFactories(nullBackends); a back-end that watches single calls may derive from it.
#pragma once

#include <cstdint>
#include <memory>

#include "screen/window/backend.h"

namespace zopp {

class NullBackend : public Backend {
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

// Refuses the OpenGL flag: there is no context to give.
std::unique_ptr<Backend> makeNullBackend(std::int32_t flags);

inline constexpr BackendFactory nullBackends[] = {makeNullBackend};

}  // namespace zopp
