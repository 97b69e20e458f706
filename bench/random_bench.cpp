// The program's generator against the standard library's MT19937, per number in [0, 1). Both regenerate
// their block once per 624 draws, so the two should cost about the same.
#include <benchmark/benchmark.h>

#include <random>

#include "frame/random.h"

namespace {

void RandomUnit(benchmark::State& state) {
    zopp::seedRandom(12345.0, zopp::kDefaultRandomAlgorithm);
    for (auto _ : state)
        benchmark::DoNotOptimize(zopp::randomUnit(1.0f));
}
BENCHMARK(RandomUnit);

void StdMt19937(benchmark::State& state) {
    std::mt19937 twister(12345u);
    for (auto _ : state)
        benchmark::DoNotOptimize(twister() / 4294967296.0);
}
BENCHMARK(StdMt19937);

}  // namespace
