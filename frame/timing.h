// Sleeping, the timer and the beep.
#pragma once

#include <cstdint>

namespace zopp {

// Sleeps ms milliseconds. -1 waits until a key was pressed (checked every 50 ms); 100 ms or more wakes
// early when a key was pressed; shorter sleeps are one plain sleep; 0 and other negatives return at once.
void sleepMs(std::int32_t ms);

// The screen layer registers the read-and-clear of its key flag (done under the screen lock). Without a
// hook no key is ever seen.
using KeyPressedHook = bool (*)();
void setKeyPressedHook(KeyPressedHook hook);

// Monotonic seconds since an arbitrary fixed origin.
double timerSeconds();

// A 1000 Hz tone of 250 ms; returns when it has finished (also without an audio device).
void beep();

}  // namespace zopp
