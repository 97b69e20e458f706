#include "frame/platform/thread_signals.h"

namespace zopp::platform {

// Console control events (Ctrl+C, closing the console) arrive on a thread the system starts for them,
// never on a thread of the program, so there is nothing to block.
void blockExternalSignalsOnCurrentThread() {}

}  // namespace zopp::platform
