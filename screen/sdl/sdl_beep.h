// The beep's sound output on SDL's audio: registered with the frame by the SDL back-end.
#pragma once

#include "frame/timing.h"

namespace zopp {

// Plays the frame's samples of the tone on the default audio device and returns when they have been heard.
// Only the audio subsystem is started and stopped here (the video subsystem belongs to the refresh
// thread). Without a device it returns at once and prints nothing.
void playSdlTone(const Tone& tone);

}  // namespace zopp
