// The Linux build of the game without a window, played by the clicks of a test that plays another build
// (a browser page, the Windows build under Wine, a Linux window): it answers each click with a digest of
// the frame it shows afterwards, so the other build's pixels can be compared with it at every step. It
// starts like the game, reading dat\ from the working directory.
//
// Lines on standard input, answers on standard output:
//   (start-up)       -> frame <digest>   the setup screen
//   seed <s>         -> frame <digest>   the seed the setup screen took (the whole seconds of its timer)
//   click <x> <y>    -> frame <digest>   the pointer moves to (x, y), the left button goes up there
//   dump <file>      -> frame <digest>   also writes the frame to <file> as a binary PPM
// The digest is FNV-1a (32 bits, 8 hex digits) over the red, green and blue bytes of every pixel, row by
// row from the top: what a canvas or a window holds, without alpha.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "frame/events.h"
#include "frame/random.h"
#include "frame/runtime.h"
#include "game/event_loop.h"
#include "game/startup.h"
#include "screen/backend/backend.h"
#include "screen/backend/window_lines.h"
#include "screen/null/null_backend.h"
#include "screen/state/screen_state.h"
#include "screen/window/backend_choice.h"

namespace {

using namespace zopp;

std::vector<std::uint8_t> shownRgb() {
    const ScreenState& screen = *currentScreen();
    std::vector<std::uint8_t> rgb;
    rgb.reserve(static_cast<std::size_t>(screen.width) * static_cast<std::size_t>(screen.height) * 3);
    const std::uint8_t* pixel = screen.pages[static_cast<std::size_t>(screen.visiblePage)].data();
    for (std::int32_t i = 0; i < screen.width * screen.height; ++i, pixel += screen.bytesPerPixel) {
        const std::uint32_t colour = shownColour(screen, pixel);
        rgb.push_back(static_cast<std::uint8_t>(colour >> 16));
        rgb.push_back(static_cast<std::uint8_t>(colour >> 8));
        rgb.push_back(static_cast<std::uint8_t>(colour));
    }
    return rgb;
}

void answerFrame() {
    std::uint32_t digest = 2166136261u;
    for (const std::uint8_t byte : shownRgb())
        digest = (digest ^ byte) * 16777619u;
    std::printf("frame %08x\n", digest);
    std::fflush(stdout);
}

void dump(const std::string& file) {
    const ScreenState& screen = *currentScreen();
    const std::vector<std::uint8_t> rgb = shownRgb();
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << screen.width << ' ' << screen.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
}

}  // namespace

int main(int argc, char** argv) {
    startRuntime(argc, argv);
    setBackendFactories(kNullBackends);
    static GameState game{};
    static MainLoop loop;
    startGame(game, loop);
    answerFrame();

    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        if (command == "seed") {
            double seed = 0;
            words >> seed;
            seedRandom(seed, 0);
        } else if (command == "click") {
            std::int32_t x = 0, y = 0;
            words >> x >> y;
            reactToEvent(game, loop, ScreenEvent{PointerMove, x, y, 0, 0});
            reactToEvent(game, loop, ScreenEvent{ButtonUp, LeftButton, 0, 0, 0});
        } else if (command == "dump") {
            std::string file;
            words >> file;
            dump(file);
        } else {
            std::fprintf(stderr, "unknown command: %s\n", line.c_str());
            endProgram(2);
        }
        answerFrame();
    }
    // Closes the screen through the exit hooks, as the game ends.
    endProgram(0);
}
