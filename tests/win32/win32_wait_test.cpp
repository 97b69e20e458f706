// The refresh thread's wait for window messages: what ends it, and what it takes for input (which keeps
// the refresh loop awake for a while) and what not.
#include "screen/win32/win32_wait.h"

#include <gtest/gtest.h>

#include <chrono>

namespace zopp {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class Win32WaitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // gives the thread its message queue
        waiter_.messagesTaken();
    }
    void TearDown() override {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    // How long a wait with a limit of 5 s took, and what it returned.
    std::pair<Clock::duration, bool> timedWait() {
        const auto began = Clock::now();
        const bool input = waiter_.wait(5s);
        return {Clock::now() - began, input};
    }

    Win32Wait waiter_;
};

TEST_F(Win32WaitTest, APostedMessageEndsTheWaitAsInput) {
    PostThreadMessageW(GetCurrentThreadId(), WM_USER, 0, 0);
    const auto [took, input] = timedWait();
    EXPECT_LT(took, 1s);
    EXPECT_TRUE(input);
    EXPECT_TRUE(waiter_.messagesWaiting());
}

// The system's own timers (such as its watch for the pointer leaving a window) must be dispatched, but
// nobody did anything.
TEST_F(Win32WaitTest, ATimerEndsTheWaitForItsMessageButIsNoInput) {
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, nullptr);
    ASSERT_NE(timer, 0u);
    const auto [took, input] = timedWait();
    KillTimer(nullptr, timer);
    EXPECT_LT(took, 1s);
    EXPECT_FALSE(input);
    EXPECT_TRUE(waiter_.messagesWaiting()) << "the timer's message must still be read";
}

TEST_F(Win32WaitTest, AWakeEndsTheWaitWithNoMessageToRead) {
    waiter_.wake();  // before the wait: it is not lost
    const auto [took, input] = timedWait();
    EXPECT_LT(took, 1s);
    EXPECT_FALSE(input);
    EXPECT_FALSE(waiter_.messagesWaiting());
}

TEST_F(Win32WaitTest, WithNothingToDoTheWaitLastsItsLimit) {
    const auto began = Clock::now();
    EXPECT_FALSE(waiter_.wait(30ms));
    EXPECT_GE(Clock::now() - began, 29ms);  // the system's wait counts whole milliseconds
    EXPECT_FALSE(waiter_.messagesWaiting());
}

}  // namespace
}  // namespace zopp
