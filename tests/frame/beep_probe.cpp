// Beeps once: run by the beep test in a child process, so the test sees all console output of the audio
// libraries.
#include "frame/timing.h"

int main() {
    zopp::beep();
    return 0;
}
