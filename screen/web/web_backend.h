// The browser back-end: the screen is the page's <canvas id="screen">, which the page scales. It runs no loop
// of its own: the page's input callbacks and the program's sleeps call the loop's step (a stepped host), so
// drawing needs no wake of its own.
// Internal to this folder; the layer reaches it through platformBackendFactories().
#pragma once

#include <cstdint>
#include <optional>

#include "screen/backend/backend.h"
#include "screen/backend/presenter.h"
#include "screen/web/page_input.h"
#include "screen/web/page_tone.h"

namespace zopp {

class WebBackend final : public Backend, private Presenter {
  public:
    LoopHost loopHost() const override { return LoopHost::Stepped; }
    void takeStep(const LoopStep& step) override { step_ = step; }

    bool createWindow(ScreenState& screen, std::int32_t refreshRate, std::string_view title,
                      EventTranslator& translator) override;
    void destroyWindow() override;
    Presenter& presenter() override { return *this; }
    void pumpInput(EventTranslator& translator) override;
    void setTitle(std::string_view title) override;
    void capturePointer() override;
    void releasePointer() override;
    bool holdsPointer() const override { return input_ && input_->capturing(); }
    bool pointerOverClient() const override { return input_ && input_->pointerOver(); }
    BeepSoundHook soundOutput() const override { return web::playTone; }

    // The page queued input: step now, so the program finds the event when it next polls.
    void inputArrived();

  private:
    // A canvas's pixels (ImageData): bytes red, green, blue, alpha. The alpha is always opaque: the page
    // shows only the colour, as a window does (the game's colours carry alpha 0).
    PixelLayout pixelLayout() override { return PixelLayout{4, 0, 8, 16, 0, 0, 0, 0xFF000000u}; }
    // The page scales the canvas itself: rows go at the screen's own size, whatever k.
    void transferRows(const ConvertedLines& rows, std::int32_t) override;

    ScreenState* screen_ = nullptr;
    std::optional<PageInput> input_;
    bool pageOpen_ = false;
    LoopStep step_;
};

}  // namespace zopp
