// Sleeping hands the one thread to the browser (Asyncify unwinds the program's stack and rewinds it when
// the sleep ends), so the page's callbacks run meanwhile: input and, with it, the refresh work.
//
// A sleep lasts at least its time and then, while the event queue is empty, up to IDLE_EXTENSION_MS longer
// until input comes: the program's loop sleeps 2 ms between polls of an empty queue, and waking it 250
// times a second for nothing would cost the page's thread more than all its drawing. Input ends the
// extension at once, so a click is polled as soon as it arrived, and events still waiting skip it.
#include "frame/platform/sleep.h"

#include "frame/events.h"
#include "frame/web/host.h"

// page_frame.js
extern "C" void zoppSleepInPage(int ms, int idleMs);

namespace zopp {

namespace {

constexpr int IDLE_EXTENSION_MS = 12;

void (*beforeSleep)() = nullptr;

}  // namespace

namespace web {

void setBeforeSleepHook(void (*hook)()) {
    beforeSleep = hook;
}

}  // namespace web

namespace platform {

void sleepAtLeastMs(std::int32_t ms) {
    if (beforeSleep) beforeSleep();
    const bool eventWaiting = pollEvent(nullptr) != 0;
    zoppSleepInPage(ms, eventWaiting ? 0 : IDLE_EXTENSION_MS);
}

}  // namespace platform

}  // namespace zopp
