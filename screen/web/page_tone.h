// The beep's sound in a page: the frame's samples of the tone in a WebAudio buffer. Browsers let a page start
// sound only after the player interacted with it, so the audio starts with the first click, tap or key on the
// page.
#pragma once

#include "frame/timing.h"

namespace zopp::web {

// Starts listening for the first interaction; idempotent.
void armTone();

// Starts the tone's samples, made at the audio's own rate, and returns at once (the beep's rules wait for
// its end); silent while no interaction has unlocked the audio or the page has none.
void playTone(const Tone& tone);

}  // namespace zopp::web
