// The beep's sound in a page: a WebAudio tone. Browsers let a page start sound only after the player
// interacted with it, so the audio starts with the first click, tap or key on the page.
#pragma once

#include <cstdint>

namespace zopp::web {

// Starts listening for the first interaction; idempotent.
void armTone();

// Starts a sine tone of hz for ms milliseconds and returns at once (the beep's rules wait for its end);
// silent while no interaction has unlocked the audio or the page has none.
void playTone(std::int32_t hz, std::int32_t ms);

}  // namespace zopp::web
