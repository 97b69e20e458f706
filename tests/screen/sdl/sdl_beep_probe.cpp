// Opens a window through the screen layer and beeps once, as the game does at its end: run by the SDL
// beep test in a child process, so the test sees all console output of the audio libraries.
#include "frame/runtime.h"
#include "frame/timing.h"
#include "screen/window/screen.h"

int main(int argc, char** argv) {
    zopp::startRuntime(argc, argv);
    if (zopp::openScreen(640, 480, 32, 0, zopp::ScreenNoSwitch, 0) != 0) return 3;
    zopp::beep();
    zopp::endProgram(0);
}
