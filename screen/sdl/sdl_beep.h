// The beep's sound output on SDL's audio: registered with the frame by the SDL back-end.
#pragma once

#include <cstdint>

namespace zopp {

// Plays a sine tone of `hz` for `ms` milliseconds on the default audio device and returns when it has
// been heard. Only the audio subsystem is started and stopped here (the video subsystem belongs to the
// refresh thread). Without a device it returns at once and prints nothing.
void playSdlTone(std::int32_t hz, std::int32_t ms);

}  // namespace zopp
