// drawText of the game's longest rule line on a 640×480×32 frame buffer, without a window.
#include <benchmark/benchmark.h>

#include <string_view>

#include "screen/backend/backend.h"
#include "screen/null/null_backend.h"
#include "screen/text/text.h"
#include "screen/text/text_mode.h"
#include "screen/window/backend_choice.h"
#include "screen/window/screen.h"

namespace {

void drawTextRuleLine(benchmark::State& state) {
    constexpr std::string_view line =
        "Original-K-Style... jeder gehaltene Wuerfel bleibt liegen (locked   !)";
    zopp::setBackendFactories(zopp::kNullBackends);
    if (zopp::openScreen(640, 480, 32, 1, 4, 0) != 0 || zopp::setTextGrid(80, 30) != 0) {
        state.SkipWithError("no screen");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(zopp::drawText(zopp::kScreen, 40, 300, 4, line, 0x00FFFF00));
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
