// The null platform: a screen with no window and no input, beside the real back-ends. It is a stepped
// host like the page, stepped only by the program's sleeps, whose transfer does nothing: drawing lands in
// the frame buffer alone, so a program that reads the frame buffer (a renderer of pictures, a fuzzer, a
// benchmark, a test) runs anywhere, without a display. Chosen with setBackendFactories(kNullBackends).
#pragma once

#include <cstdint>
#include <memory>

#include "screen/backend/backend.h"

namespace zopp {

class NullBackend : public Backend, protected Presenter {
  public:
    LoopHost loopHost() const override { return LoopHost::Stepped; }
    bool createWindow(ScreenState&, std::int32_t, std::string_view, EventTranslator&) override {
        return true;
    }
    Presenter& presenter() override { return *this; }

  protected:
    // The screen's own layout: a 32-bit page is handed over without a copy.
    PixelLayout pixelLayout() override { return {}; }
    void transferRows(const ConvertedLines&, std::int32_t) override {}
};

// Refuses the OpenGL flag: there is no context to give.
std::unique_ptr<Backend> makeNullBackend(std::int32_t flags);

inline constexpr BackendFactory kNullBackends[] = {makeNullBackend};

}  // namespace zopp
