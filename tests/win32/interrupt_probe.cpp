// A console program with the frame's handlers that waits to be interrupted: prints "ready", then sleeps
// up to 30 s and exits 3 if nothing ended it.
#include <cstdio>

#include "frame/runtime.h"
#include "frame/timing.h"

int main(int argc, char** argv) {
    zopp::startRuntime(argc, argv);
    std::printf("ready\n");
    std::fflush(stdout);
    for (int i = 0; i < 300; ++i) zopp::sleepMs(99);  // under 100 ms: no key ends these sleeps
    return 3;
}
