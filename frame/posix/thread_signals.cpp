#include "frame/platform/thread_signals.h"

#include <pthread.h>
#include <signal.h>

namespace zopp::platform {

void blockExternalSignalsOnCurrentThread() {
    sigset_t external;
    sigemptyset(&external);
    sigaddset(&external, SIGINT);
    sigaddset(&external, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &external, nullptr);
}

}  // namespace zopp::platform
