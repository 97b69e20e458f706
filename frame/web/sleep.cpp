// Sleeping hands the one thread to the browser (Asyncify unwinds the program's stack and rewinds it when
// the sleep ends), so the page's callbacks run meanwhile: input and, with it, the refresh work. The sleep
// comes back when its time is up; an idle program that declared it reacts only to window events waits
// for input through the change wait instead.
#include "frame/platform/sleep.h"

// page_frame.js
extern "C" void zoppSleepInPage(int ms, int idleMs);

namespace zopp::platform {

void sleepAtLeastMs(std::int32_t ms) {
    zoppSleepInPage(ms, 0);
}

}  // namespace zopp::platform
