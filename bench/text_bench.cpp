// drawText of the game's longest rule line on a 640×480×32 frame buffer, without a window.
#include <benchmark/benchmark.h>

#include <memory>
#include <string_view>

#include "screen/backend.h"
#include "screen/screen.h"
#include "screen/text.h"

namespace {

class HeadlessBackend final : public zopp::Backend {
  public:
    bool start(zopp::ScreenState&, std::int32_t) override { return true; }
    void stop() override {}
    void setTitle(std::string_view) override {}
    void paletteChanged() override {}
};

std::unique_ptr<zopp::Backend> makeHeadless(std::int32_t) {
    return std::make_unique<HeadlessBackend>();
}
constexpr zopp::BackendFactory headless[] = {makeHeadless};

void drawTextRuleLine(benchmark::State& state) {
    constexpr std::string_view line =
        "Original-K-Style... jeder gehaltene Wuerfel bleibt liegen (locked   !)";
    zopp::setBackendFactories(headless);
    if (zopp::openScreen(640, 480, 32, 1, 4, 0) != 0 || zopp::setTextGrid(80, 30) != 0) {
        state.SkipWithError("no screen");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(zopp::drawText(zopp::SCREEN, 40, 300, 4, line, 0x00FFFF00));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(line.size()));
    state.counters["ns_per_char"] =
        benchmark::Counter(static_cast<double>(state.iterations() * line.size()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    zopp::closeScreen();
    zopp::setBackendFactories({});
}
BENCHMARK(drawTextRuleLine);

}  // namespace
