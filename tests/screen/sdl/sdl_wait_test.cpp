// The refresh thread's wait on a real X connection (a private Xvfb): what ends it, and what it reports as
// input. A wait that ends on input keeps the loop refreshing; one that missed input would leave it asleep.
#include "screen/sdl/sdl_wait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "harness/desktop/x11_harness.h"
#include "harness/support/finishes_within.h"

namespace zopp {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class SdlWaitOnX : public ::testing::Test {
  protected:
    void SetUp() override {
        display_ = XOpenDisplay(server_.display().c_str());
        ASSERT_NE(display_, nullptr);
        // A window that reports its own mapping to this connection.
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 10, 10, 0, 0, 0);
        XSelectInput(display_, window_, StructureNotifyMask);
        XSync(display_, False);
        wait_.watchDisplay(display_);
    }
    void TearDown() override {
        if (display_) XCloseDisplay(display_);
    }

    e2e::XvfbServer server_;
    Display* display_ = nullptr;
    ::Window window_ = 0;
    SdlWait wait_;
};

TEST_F(SdlWaitOnX, EventsARoundTripAlreadyReadAreInputAtOnce) {
    XMapWindow(display_, window_);
    XSync(display_, False);  // reads the map notification into Xlib's queue: the socket has nothing more
    ASSERT_GT(XEventsQueued(display_, QueuedAlready), 0);
    const auto began = Clock::now();
    EXPECT_TRUE(wait_.wait(2s));
    EXPECT_LT(Clock::now() - began, 1s);
}

TEST_F(SdlWaitOnX, NotificationsArrivingOnTheConnectionAreInput) {
    const auto began = Clock::now();  // before the other thread's 100 ms start to run
    std::thread other([this] {
        std::this_thread::sleep_for(100ms);
        Display* elsewhere = XOpenDisplay(server_.display().c_str());
        XMapWindow(elsewhere, window_);
        XCloseDisplay(elsewhere);
    });
    const bool input = wait_.wait(5s);
    other.join();
    EXPECT_TRUE(input);
    EXPECT_GE(Clock::now() - began, 100ms);
    EXPECT_LT(Clock::now() - began, 4s);
}

TEST_F(SdlWaitOnX, AWakeEndsTheWaitAndIsNoInput) {
    std::thread waker([this] {
        std::this_thread::sleep_for(100ms);
        wait_.wake();
    });
    const auto began = Clock::now();
    EXPECT_FALSE(wait_.wait(5s));
    waker.join();
    EXPECT_LT(Clock::now() - began, 4s);
    wait_.wake();  // a wake that comes first ends the next wait at once
    EXPECT_FALSE(wait_.wait(5s));
    EXPECT_LT(Clock::now() - began, 4s);
    EXPECT_FALSE(wait_.wait(10ms)) << "the timeout is no input";
}

// Other drivers give nothing to watch: every wait counts as input, and none may sleep without a limit,
// which only a wake could end. Run on a thread of its own so that such a sleep fails instead of hanging.
TEST(SdlWait, WithoutADisplayEveryWaitIsInputAndNoneSleepsWithoutLimit) {
    auto wait = std::make_shared<SdlWait>();
    EXPECT_TRUE(wait->wait(5ms));
    auto input = std::make_shared<std::atomic<bool>>(false);
    ASSERT_TRUE(testing::finishesWithin(2s, [wait, input] { *input = wait->wait(std::nullopt); }));
    EXPECT_TRUE(*input);
}

}  // namespace
}  // namespace zopp
