// Helper threads leave interrupt and termination to the program's thread but still fault normally.
#include "frame/platform/thread_signals.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>

#include <thread>

namespace zopp {
namespace {

sigset_t currentMask() {
    sigset_t mask;
    pthread_sigmask(SIG_SETMASK, nullptr, &mask);
    return mask;
}

TEST(ThreadSignals, BlocksInterruptAndTerminationOnTheCallingThreadOnly) {
    sigset_t helperMask;
    std::thread helper([&helperMask] {
        platform::blockExternalSignalsOnCurrentThread();
        helperMask = currentMask();
    });
    helper.join();
    EXPECT_EQ(sigismember(&helperMask, SIGINT), 1);
    EXPECT_EQ(sigismember(&helperMask, SIGTERM), 1);
    for (const int fault : {SIGSEGV, SIGFPE, SIGILL, SIGABRT}) {
        EXPECT_EQ(sigismember(&helperMask, fault), 0) << "fault " << fault << " must still reach the handler";
    }
    const sigset_t ownMask = currentMask();
    EXPECT_EQ(sigismember(&ownMask, SIGINT), 0);
    EXPECT_EQ(sigismember(&ownMask, SIGTERM), 0);
}

}  // namespace
}  // namespace zopp
