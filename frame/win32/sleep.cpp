#include "frame/platform/sleep.h"

// windows.h first: the multimedia header builds on its types.
#include <windows.h>

#include <mmsystem.h>

#include <chrono>

namespace zopp::platform {

namespace {

// The system's default timer tick is about 15.6 ms, so Sleep(2) would take a whole tick and the event
// loop would poll at 64 Hz. One request for 1 ms ticks, kept for the life of the process.
void useMillisecondTimer() {
    static const bool kRequested = timeBeginPeriod(1) == TIMERR_NOERROR;
    static_cast<void>(kRequested);
}

}  // namespace

// Sleep may wake a little before the tick that ends the interval, so the steady clock decides when
// enough time has passed.
void sleepAtLeastMs(std::int32_t ms) {
    useMillisecondTimer();
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
    for (Clock::time_point now = Clock::now(); now < end; now = Clock::now()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - now).count();
        Sleep(static_cast<DWORD>(left));
    }
}

}  // namespace zopp::platform
