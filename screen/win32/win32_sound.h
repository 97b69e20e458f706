// The beep's sound output on Windows: registered with the frame by the Win32 back-end.
#pragma once

#include "frame/timing.h"

namespace zopp {

// Plays the frame's samples of the tone through the system's sound and returns when they have been heard,
// at once where there is no sound device; prints nothing.
void playWin32Tone(const Tone& tone);

}  // namespace zopp
