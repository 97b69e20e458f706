#include "frame/thread_signals.h"

#include <pthread.h>

#include <csignal>

namespace zopp {

void blockExternalSignalsOnCurrentThread() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

}  // namespace zopp
