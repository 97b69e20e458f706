// Seam: keeping external stop requests on the program's thread.
#pragma once

namespace zopp::platform {

// Blocks interrupt and termination requests (SIGINT, SIGTERM) on the calling thread, so they are
// delivered to the program's thread, where the frame reports them. For helper threads (the screen's
// refresh thread, the exit standby); faults stay deliverable. A no-op where requests arrive otherwise
// (Win32's console handler thread, the browser's one thread).
void blockExternalSignalsOnCurrentThread();

}  // namespace zopp::platform
