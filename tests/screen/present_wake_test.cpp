// Drawing wakes the back-end once its lines are marked and the lock is free, so a change reaches the
// window without waiting for the next refresh period.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "screen/backend/backend.h"
#include "screen/drawing/line.h"
#include "screen/images/image.h"
#include "screen/null/null_backend.h"
#include "screen/state/screen_state.h"
#include "screen/window/backend_choice.h"
#include "screen/window/screen.h"

namespace zopp {
namespace {

std::atomic<int> wakes{0};
std::atomic<bool> wokenWithLockHeld{false};

LoopStep step;

class CountingBackend final : public NullBackend {
  public:
    LoopHost loopHost() const override { return LoopHost::Stepped; }
    void takeStep(const LoopStep& handed) override { step = handed; }
    void wake() override {
        if (screenLockDepth() > 0) wokenWithLockHeld = true;
        ++wakes;
    }
};

std::unique_ptr<Backend> makeCountingBackend(std::int32_t) {
    return std::make_unique<CountingBackend>();
}

constexpr BackendFactory kCountingBackends[] = {makeCountingBackend};

class PresentWake : public ::testing::Test {
  protected:
    void SetUp() override {
        setBackendFactories(kCountingBackends);
        ASSERT_EQ(openScreen(64, 48, 32, 0, 4, 0), 0);
        ASSERT_TRUE(step);
        step();  // the opening's own wake is spent: each test starts after a cycle
        wakes = 0;
        wokenWithLockHeld = false;
    }
    void TearDown() override {
        closeScreen();
        setBackendFactories({});
    }
};

TEST_F(PresentWake, ADrawingOnTheScreenWakesOnceAfterReleasingTheLock) {
    drawLine(kScreen, 0, 0, 10, 10, 0xFFFFFF, LineSegment);
    EXPECT_EQ(wakes, 1);
    EXPECT_FALSE(wokenWithLockHeld);
}

TEST_F(PresentWake, NestedHoldsWakeOnlyAtTheOutermostRelease) {
    {
        ScreenLock outer;
        drawLine(kScreen, 0, 0, 10, 10, 0xFFFFFF, LineSegment);
        drawLine(kScreen, 0, 20, 10, 30, 0xFFFFFF, LineFilledBox);
        EXPECT_EQ(wakes, 0);
    }
    EXPECT_EQ(wakes, 1);
    EXPECT_FALSE(wokenWithLockHeld);
}

TEST_F(PresentWake, NothingMarkedMeansNoWake) {
    { ScreenLock idle; }
    auto image = createImage(16, 16);
    ASSERT_TRUE(image);
    drawLine(image->bytes(), 0, 0, 15, 15, 0xFFFFFF, LineSegment);  // off screen: nothing to present
    EXPECT_EQ(wakes, 0);
}

TEST_F(PresentWake, ADrawingOutsideTheVisibleAreaDoesNotWake) {
    drawLine(kScreen, 100, 100, 120, 120, 0xFFFFFF, LineSegment);
    EXPECT_EQ(wakes, 0);
}

TEST_F(PresentWake, AClosedScreenWakesNothing) {
    closeScreen();
    { ScreenLock idle; }
    drawLine(kScreen, 0, 0, 10, 10, 0xFFFFFF, LineSegment);
    EXPECT_EQ(wakes, 0);
}

}  // namespace
}  // namespace zopp
