// The standby is a thread started beforehand that waits on a semaphore: posting one is safe in a
// signal handler, starting a thread is not.
#include "frame/platform/exit_standby.h"

#include <pthread.h>
#include <semaphore.h>
#include <unistd.h>

#include "frame/platform/thread_signals.h"

namespace zopp::platform {

namespace {

sem_t handOffRequest;
void (*standbySequence)() = nullptr;

void* standbyThreadMain(void*) {
    pthread_setname_np(pthread_self(), "exit standby");  // how tools and the benchmarks tell it apart
    // Interrupt and termination belong to the program's thread, where they report; this one only waits.
    blockExternalSignalsOnCurrentThread();
    while (::sem_wait(&handOffRequest) != 0) {
    }
    standbySequence();
    return nullptr;
}

}  // namespace

ExitStandby startExitStandby(void (*sequence)()) {
    if (::sem_init(&handOffRequest, 0, 0) != 0) {
        return ExitStandby::Unavailable;
    }
    standbySequence = sequence;
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) {
        return ExitStandby::Unavailable;
    }
    pthread_t thread;
    const bool started = pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED) == 0 &&
                         pthread_create(&thread, &attributes, standbyThreadMain, nullptr) == 0;
    pthread_attr_destroy(&attributes);
    return started ? ExitStandby::Ready : ExitStandby::Unavailable;
}

bool wakeExitStandby() {
    return ::sem_post(&handOffRequest) == 0;
}

void parkThreadForever() {
    for (;;) {
        ::pause();
    }
}

}  // namespace zopp::platform
