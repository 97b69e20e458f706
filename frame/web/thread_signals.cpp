#include "frame/thread_signals.h"

namespace zopp {

// One thread and no signals in a page.
void blockExternalSignalsOnCurrentThread() {}

}  // namespace zopp
