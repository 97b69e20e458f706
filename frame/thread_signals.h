// Signals meant for the whole program (interrupt, termination) belong to the program's thread, where the
// frame reports them; helper threads call this first.
#pragma once

namespace zopp {

// Blocks interrupt and termination on the calling thread.
void blockExternalSignalsOnCurrentThread();

}  // namespace zopp
