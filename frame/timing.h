// Sleeping, the timer and the beep.
#pragma once

#include <cstdint>
#include <vector>

namespace zopp {

// Sleeps ms milliseconds, never less. -1 waits until a key was pressed (checked every 50 ms); 100 ms or
// more wakes early when a key was pressed (checked every 50 ms); 0 and other negatives return at once.
// A shorter sleep is one plain sleep that leaves the key flag alone and that nothing cuts short, unless the
// program declared it reacts only to window events (below). A fault
// signal ends the program from inside any sleep as from anywhere.
void sleepMs(std::int32_t ms);

// Declares that the program reacts only to window events, so that an idle program costs nothing and
// answers at once: from then on, while a screen is open, a sleep under 100 ms ends when an event is posted
// or the screen closes; one that directly follows a poll that took an event ends at once while another
// event waits; and one that directly follows the program's poll of an empty event queue lasts until an
// event is posted or the screen closes, however long (without a screen it is a plain sleep). A program
// that also serves other input (a console, a socket) must not declare it. False withdraws the declaration.
void reactOnlyToWindowEvents(bool only = true);

// The screen layer registers the read-and-clear of its key flag (done under the screen lock) while a
// screen is open, and registers nullptr when it closes. Without a hook the console is watched instead:
// input waiting on standard input counts as a key and is consumed.
using KeyPressedHook = bool (*)();
void setKeyPressedHook(KeyPressedHook hook);

// A host that refreshes the screen on the program's own thread (a browser page) presents right before that
// thread sleeps, so what was drawn shows while the program sleeps: every sleep of the frame (sleepMs's and
// the beep's) first calls this hook with its context. The screen layer registers it while such a window is
// open and registers nullptr when it closes. From the program's thread.
using BeforeSleepHook = void (*)(void* context);
void setBeforeSleepHook(BeforeSleepHook hook, void* context);

// Monotonic seconds since an arbitrary fixed origin (normally system start). The clock is chosen at the
// first call and kept: the high-resolution counter when the platform has one, else a millisecond tick.
double timerSeconds();

// A 1000 Hz tone of 250 ms through the registered sound output; returns when it has finished. Without an
// output, or when it finds no audio device, it stays silent (also on the console) and still returns after
// 250 ms.
void beep();

// A sine of `hz` for `ms` milliseconds at `amplitude` (of full scale, 0 to 1) whose first and last `edgeMs`
// rise from and fall to silence along a raised cosine, so it neither starts nor stops with a click.
struct Tone {
    std::int32_t hz;
    std::int32_t ms;
    double amplitude;
    std::int32_t edgeMs;
};

// The tone as signed 16-bit mono samples at `sampleRate` per second, ms * sampleRate / 1000 of them (with
// edges, the first and the last are silent). Every platform plays these, so the beep sounds the same
// everywhere.
std::vector<std::int16_t> toneSamples(const Tone& tone, std::int32_t sampleRate);

// The platform's sound output: plays the tone's samples (toneSamples at a rate its device takes) and
// returns when they have been heard, or sooner when there is no device; it prints nothing. The screen
// layer registers its back-end's output when a window opens and clears it when the window closes (nullptr
// is silence), the same way on every platform, so frame/ needs no audio library.
using BeepSoundHook = void (*)(const Tone& tone);
void setBeepSoundHook(BeepSoundHook hook);

}  // namespace zopp
