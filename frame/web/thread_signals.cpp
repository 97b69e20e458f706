#include "frame/platform/thread_signals.h"

namespace zopp::platform {

// One thread and no signals in a page.
void blockExternalSignalsOnCurrentThread() {}

}  // namespace zopp::platform
