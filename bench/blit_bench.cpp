// Full-screen and die-sized putImage against a plain memcpy and SDL's surface blit, and loading the
// 640×480 24-bit background.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>

#include "harness/support/bmp_builder.h"
#include "screen/backend/backend.h"
#include "screen/drawing/blit.h"
#include "screen/images/image.h"
#include "screen/null/null_backend.h"
#include "screen/state/screen_state.h"
#include "screen/window/backend_choice.h"
#include "screen/window/screen.h"

namespace {

void openGameScreen() {
    if (zopp::screenIsOpen()) return;
    zopp::setBackendFactories(zopp::kNullBackends);
    zopp::openScreen(640, 480, 32, 0, 4, 0);
}

void putFullScreen(benchmark::State& state) {
    openGameScreen();
    auto image = zopp::createImage(640, 480);
    for (auto _ : state) {
        benchmark::DoNotOptimize(zopp::putImage(zopp::kScreen, 0, 0, image->bytes()));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 640 * 480 * 4);
}
BENCHMARK(putFullScreen);

void memcpyFullScreen(benchmark::State& state) {
    openGameScreen();
    auto image = zopp::createImage(640, 480);
    std::uint8_t* screen = zopp::currentScreen()->workPixels();
    for (auto _ : state) {
        std::memcpy(screen, image->bytes().data() + zopp::kImageHeaderBytes, 640 * 480 * 4);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 640 * 480 * 4);
}
BENCHMARK(memcpyFullScreen);

// A straight copy, like put mode 1: no blending.
void sdlBlitFullScreen(benchmark::State& state) {
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
    for (auto _ : state) {
        benchmark::DoNotOptimize(SDL_BlitSurface(source, nullptr, target, nullptr));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 640 * 480 * 4);
    SDL_FreeSurface(source);
    SDL_FreeSurface(target);
}
BENCHMARK(sdlBlitFullScreen);

void putDie(benchmark::State& state) {
    openGameScreen();
    auto die = zopp::createImage(50, 50);
    for (auto _ : state) {
        benchmark::DoNotOptimize(zopp::putImage(zopp::kScreen, 300, 200, die->bytes()));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(putDie);

void loadBackground(benchmark::State& state) {
    openGameScreen();
    zopp::testing::BmpLayout layout;
    layout.width = 640;
    layout.height = 480;
    layout.pixel = [](std::int32_t x, std::int32_t y) {
        return std::uint32_t(x * 2654435761u + y * 40503u) & 0xFFFFFF;
    };
    const auto path = zopp::testing::writeTempFile("background.bmp", zopp::testing::buildBmp(layout));
    auto image = zopp::createImage(640, 480);
    for (auto _ : state)
        benchmark::DoNotOptimize(zopp::loadBitmap(path, image->bytes()));
}
BENCHMARK(loadBackground)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
