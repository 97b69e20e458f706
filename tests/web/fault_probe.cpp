// A program that faults on purpose in a page, the fault named by the page's query (?fault=divide,
// memory, unreachable or abort). Its screen is open, as the game's is, and it faults after it has slept
// once, so the fault comes from a stack resumed by the browser, as every click's handling does.
#include <emscripten.h>

#include <cstdint>
#include <cstdlib>

#include "frame/runtime.h"
#include "frame/timing.h"
#include "screen/window/screen.h"

namespace {

// clang-format off
EM_JS(int, requestedFault, (), {
    return ['divide', 'memory', 'unreachable', 'abort'].indexOf(new URLSearchParams(location.search).get('fault'));
});
// clang-format on

volatile std::int32_t sink = 0;

}  // namespace

int main(int argc, char** argv) {
    zopp::startRuntime(argc, argv);
    zopp::setWindowTitle("fault probe");
    zopp::openScreen(640, 480, 32, 0, 4, 0);
    zopp::sleepMs(2);
    volatile std::int32_t zero = 0;
    switch (requestedFault()) {
        case 0:
            sink = 7 / zero;
            break;
        case 1:  // far beyond the page's memory
            sink = *reinterpret_cast<volatile std::int32_t*>(std::uintptr_t{0xFFFFFFF0u} + zero);
            break;
        case 2:
            __builtin_trap();
        case 3:
            std::abort();
        default:
            break;
    }
    zopp::endProgram(0);
}
