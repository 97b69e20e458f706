#include <gtest/gtest.h>

#include <vector>

#include "frame/events.h"
#include "screen/backend/event_translator.h"
#include "screen/backend/input.h"

namespace zopp {
namespace {

class FakeWindow : public WindowPlatform {
  public:
    void capturePointer() override { captured = true; }
    void releasePointer() override {
        captured = false;
        ++releases;
    }
    bool holdsPointer() const override { return captured; }
    void trackLeave(bool enabled) override { trackingLeave = enabled; }
    bool pointerOverClient() const override { return pointerOver; }

    bool captured = false;
    int releases = 0;
    bool trackingLeave = false;
    bool pointerOver = false;
};

class FakeOwner : public WindowOwner {
  public:
    void activityChanged(bool active) override { activity.push_back(active); }
    void fullScreenSwitchRequested() override { ++switches; }

    std::vector<bool> activity;
    int switches = 0;
};

class Translator : public ::testing::Test {
  protected:
    void SetUp() override {
        openEventQueue();
        resetInput();
    }
    void TearDown() override { closeEventQueue(); }

    std::vector<ScreenEvent> drain() {
        std::vector<ScreenEvent> events;
        ScreenEvent e{};
        while (pollEvent(&e))
            events.push_back(e);
        return events;
    }
    std::vector<std::int32_t> types() {
        std::vector<std::int32_t> result;
        for (const ScreenEvent& e : drain())
            result.push_back(e.type);
        return result;
    }
    // An active window with the pointer already inside and the queue empty.
    void activeWithPointerInside() {
        translator.activationChanged(true, false);
        translator.motion(10, 10, 110, 210);
        drain();
    }

    // The platform's activation report, with the pointer over the client area or not.
    void activation(bool focused, bool minimised, bool pointerOver) {
        window.pointerOver = pointerOver;
        translator.activationChanged(focused, minimised);
    }

    FakeWindow window;
    FakeOwner owner;
    EventTranslator translator{window, owner};
};

using Types = std::vector<std::int32_t>;

TEST_F(Translator, FirstMotionIntoActiveWindowIsEnterNotMove) {
    activation(true, false, false);
    EXPECT_EQ(types(), Types{FocusGained});
    translator.motion(5, 6, 105, 206);
    translator.motion(8, 6, 108, 206);
    const auto events = drain();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].type, PointerEnter);
    EXPECT_EQ(events[0].x, 5);
    EXPECT_EQ(events[0].y, 6);
    EXPECT_EQ(events[0].dx, 0);  // no earlier desktop position
    EXPECT_EQ(events[1].type, PointerMove);
    EXPECT_EQ(events[1].x, 8);
    EXPECT_EQ(events[1].dx, 3);
    EXPECT_EQ(events[1].dy, 0);
    EXPECT_TRUE(window.trackingLeave);
}

TEST_F(Translator, DeltasComeFromTheDesktopPositionNotTheClientPosition) {
    activeWithPointerInside();
    // The window moved by 50 pixels between the notifications: the client position stays, the desktop
    // position changes.
    translator.motion(10, 10, 160, 210);
    const auto events = drain();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, PointerMove);
    EXPECT_EQ(events[0].x, 10);
    EXPECT_EQ(events[0].dx, 50);
}

TEST_F(Translator, MotionWithoutDistanceGivesNoMove) {
    activeWithPointerInside();
    translator.motion(10, 10, 110, 210);
    EXPECT_TRUE(drain().empty());
}

TEST_F(Translator, MotionWhileInactiveGivesNothingButStillUpdatesTheDesktopPosition) {
    activation(false, false, false);
    drain();
    translator.motion(1, 1, 101, 201);
    translator.motion(4, 1, 104, 201);
    EXPECT_TRUE(drain().empty());
    EXPECT_FALSE(translator.pointerInside());
    EXPECT_EQ(translator.lastX(), 4);
    activation(true, false, false);
    translator.motion(6, 1, 106, 201);
    const auto events = drain();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].type, FocusGained);
    EXPECT_EQ(events[1].type, PointerEnter);
    EXPECT_EQ(events[1].dx, 2);  // measured from the inactive motion
}

TEST_F(Translator, ALeaveReportCountsOnceAfterEachEnter) {
    translator.pointerLeft();  // the platform reports it unasked
    activeWithPointerInside();
    translator.pointerLeft();
    translator.pointerLeft();
    EXPECT_EQ(types(), Types{PointerLeave});
    EXPECT_FALSE(translator.pointerInside());
    translator.motion(11, 10, 111, 210);
    translator.pointerLeft();
    EXPECT_EQ(types(), (Types{PointerEnter, PointerLeave}));
}

TEST_F(Translator, LeaveOnlyWhileActive) {
    activeWithPointerInside();
    translator.pointerLeft();
    EXPECT_EQ(types(), Types{PointerLeave});
    EXPECT_FALSE(translator.pointerInside());
    translator.motion(12, 10, 112, 210);
    EXPECT_EQ(types(), Types{PointerEnter});

    activation(false, false, false);
    drain();
    translator.pointerLeft();
    EXPECT_TRUE(drain().empty());
}

TEST_F(Translator, LosingFocusWithPointerInsideLeavesFirst) {
    activeWithPointerInside();
    activation(false, false, true);
    EXPECT_EQ(types(), (Types{PointerLeave, FocusLost}));
    EXPECT_FALSE(window.trackingLeave);
    EXPECT_FALSE(translator.windowActive());
}

TEST_F(Translator, RegainingFocusWithPointerOverWindowEntersAfterFocus) {
    activeWithPointerInside();
    activation(false, false, true);
    drain();
    activation(true, false, true);
    const auto events = drain();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].type, FocusGained);
    EXPECT_EQ(events[1].type, PointerEnter);
    EXPECT_TRUE(translator.pointerInside());
}

TEST_F(Translator, ActivationWhileMinimisedPostsNoFocusAndStaysInactive) {
    activeWithPointerInside();
    activation(true, true, true);
    EXPECT_EQ(types(), Types{PointerLeave});
    EXPECT_FALSE(translator.windowActive());
}

TEST_F(Translator, DeactivationClearsButtonsAndKeysEndsTheCaptureAndTellsTheOwner) {
    activeWithPointerInside();
    translator.buttonPressed(LeftButton, 1);
    translator.keyPressed(KeyNotification{0x1E, 'a', 0, false});
    activation(false, false, false);
    EXPECT_EQ(translator.buttonsDown(), 0);
    EXPECT_EQ(translator.keyState()[0x1E], 0);
    EXPECT_FALSE(window.captured);
    EXPECT_EQ(owner.activity, (std::vector<bool>{true, false}));
}

// Platforms report focus and minimising separately, more than once, and in either order.
TEST_F(Translator, OnlyAChangeOfActivityCounts) {
    translator.focusChanged(true);
    translator.activationChanged(true, false);
    translator.minimisedChanged(false);
    EXPECT_EQ(types(), Types{FocusGained});
    translator.focusChanged(false);
    translator.focusChanged(false);
    translator.minimisedChanged(true);
    EXPECT_EQ(types(), Types{FocusLost});
    translator.minimisedChanged(false);  // restored, but still not focused
    EXPECT_TRUE(drain().empty());
    translator.focusChanged(true);
    EXPECT_EQ(types(), Types{FocusGained});
    EXPECT_EQ(owner.activity, (std::vector<bool>{true, false, true}));
}

// A quick double click is ButtonDown, ButtonUp, DoubleClick, ButtonUp: two clicks for the game.
TEST_F(Translator, EverySecondPressOfAClickSeriesIsADoubleClick) {
    activeWithPointerInside();
    for (std::int32_t count = 1; count <= 4; ++count) {
        translator.buttonPressed(LeftButton, count);
        translator.buttonReleased(LeftButton);
    }
    Types types;
    for (const ScreenEvent& e : drain()) {
        types.push_back(e.type);
        EXPECT_EQ(e.button(), LeftButton);
    }
    EXPECT_EQ(types, (Types{ButtonDown, ButtonUp, DoubleClick, ButtonUp, ButtonDown, ButtonUp, DoubleClick,
                            ButtonUp}));
}

TEST(ClickSeries, CountsTheQuickClosePressesOfASeries) {
    ClickSeries series;
    EXPECT_EQ(series.press(0, 1000, 100, 100), 1);
    EXPECT_EQ(series.press(0, 1500, 132, 68), 2);  // 500 ms and 32 pixels are still close
    EXPECT_EQ(series.press(0, 1600, 132, 68), 3);
    EXPECT_EQ(series.press(0, 1700, 132, 68), 4);
}

TEST(ClickSeries, ALateFarOrOtherButtonPressStartsAnewSeries) {
    ClickSeries series;
    EXPECT_EQ(series.press(0, 1000, 100, 100), 1);
    EXPECT_EQ(series.press(0, 1501, 100, 100), 1);  // too late
    EXPECT_EQ(series.press(0, 1600, 133, 100), 1);  // too far
    EXPECT_EQ(series.press(1, 1650, 133, 100), 1);  // another button has its own series
    EXPECT_EQ(series.press(0, 1700, 133, 100), 2);
    EXPECT_EQ(series.press(1, 1750, 133, 100), 2);
}

TEST(ClickSeries, SurvivesTheClockWrapping) {
    ClickSeries series;
    EXPECT_EQ(series.press(0, 0xFFFFFF00u, 10, 10), 1);
    EXPECT_EQ(series.press(0, 0x00000010u, 10, 10), 2);
}

// The series' distance is in screen pixels: at scale 2, 64 device pixels are still close, 66 are not.
TEST_F(Translator, PressesAtTimeAndPlaceMakeASeriesInScreenPixels) {
    translator.setScale(2);
    activeWithPointerInside();
    translator.buttonPressedAt(RightButton, 1000, 200, 200);
    translator.buttonPressedAt(RightButton, 1100, 264, 136);
    translator.buttonPressedAt(RightButton, 1200, 330, 136);
    const auto events = drain();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].type, ButtonDown);
    EXPECT_EQ(events[1].type, DoubleClick);
    EXPECT_EQ(events[1].button(), RightButton);
    EXPECT_EQ(events[2].type, ButtonDown);
}

TEST_F(Translator, DraggingPastTheLeftEdgeReportsNegativeXAndTheReleaseThenTheLeave) {
    activeWithPointerInside();
    translator.buttonPressed(LeftButton, 1);
    EXPECT_TRUE(window.captured);
    translator.motion(0, 10, 100, 210);
    translator.motion(-1, 10, 99, 210);
    translator.pointerLeft();  // some platforms report it while the pointer is held
    translator.motion(-30, 12, 70, 212);
    translator.buttonReleased(LeftButton);
    const auto events = drain();
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[2].type, PointerMove);
    EXPECT_EQ(events[2].x, -1);
    EXPECT_EQ(events[3].x, -30);
    EXPECT_EQ(events[3].dx, -29);
    EXPECT_EQ(events[3].dy, 2);
    EXPECT_EQ(events[4].type, ButtonUp);
    EXPECT_EQ(events[4].x, LeftButton);
    EXPECT_EQ(events[5].type, PointerLeave);
    EXPECT_FALSE(window.captured);
    // Dragged out and back in, the pointer never left.
    translator.motion(10, 10, 110, 210);
    translator.buttonPressed(LeftButton, 1);
    translator.pointerLeft();
    window.pointerOver = true;
    translator.buttonReleased(LeftButton);
    EXPECT_EQ(types(), (Types{PointerEnter, ButtonDown, ButtonUp}));
}

TEST_F(Translator, AtScaleTwoPositionsAndDistancesAreScreenPixelsRoundedDown) {
    translator.setScale(2);
    activeWithPointerInside();  // device (10, 10) on the desktop at (110, 210)
    struct Row {
        std::int32_t deviceX, desktopX;
        std::int32_t x, dx;  // of the PointerMove; dx 0: no event
    };
    constexpr Row rows[] = {
        {11, 111, 5, 0},   // within the same screen pixel: no distance
        {13, 113, 6, 1},   //
        {0, 100, 0, -6},   //
        {-1, 99, -1, -1},  // one device pixel left of the window is outside it
        {-2, 98, -1, 0},   //
        {-3, 97, -2, -1},  //
    };
    for (const Row& row : rows) {
        translator.motion(row.deviceX, 10, row.desktopX, 210);
        const auto events = drain();
        ASSERT_EQ(events.size(), row.dx != 0 ? 1u : 0u) << row.deviceX;
        if (row.dx == 0) continue;
        EXPECT_EQ(events[0].x, row.x) << row.deviceX;
        EXPECT_EQ(events[0].y, 5) << row.deviceX;
        EXPECT_EQ(events[0].dx, row.dx) << row.deviceX;
    }
    EXPECT_EQ(translator.lastX(), -2);
}

TEST_F(Translator, CaptureIsReleasedOnlyWhenTheLastButtonGoesUp) {
    activeWithPointerInside();
    translator.buttonPressed(LeftButton, 1);
    translator.buttonPressed(RightButton, 1);
    EXPECT_EQ(translator.buttonsDown(), LeftButton | RightButton);
    translator.buttonReleased(LeftButton);
    EXPECT_TRUE(window.captured);
    translator.buttonReleased(RightButton);
    EXPECT_FALSE(window.captured);
    EXPECT_EQ(window.releases, 1);
}

TEST_F(Translator, ButtonsArePostedWhileInactiveWithoutEntering) {
    activation(false, false, false);
    drain();
    translator.buttonPressed(MiddleButton, 1);
    translator.buttonReleased(MiddleButton);
    const auto events = drain();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].type, ButtonDown);
    EXPECT_EQ(events[0].x, MiddleButton);
    EXPECT_FALSE(translator.pointerInside());
}

TEST_F(Translator, ExtraButtonsReportOnlyTheBitsThatChanged) {
    activeWithPointerInside();
    translator.buttonPressed(ExtraButton1, 1);
    translator.buttonPressed(ExtraButton2, 1);
    translator.buttonPressed(ExtraButton2, 1);  // already held
    translator.buttonReleased(ExtraButton1);
    const auto events = drain();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].x, ExtraButton1);
    EXPECT_EQ(events[1].x, ExtraButton2);
    EXPECT_EQ(events[2].x, 0);
    EXPECT_EQ(events[3].type, ButtonUp);
    EXPECT_EQ(events[3].x, ExtraButton1);
}

TEST_F(Translator, WheelsCountStepsSinceOpening) {
    translator.wheel(120);
    translator.wheel(1);
    translator.wheel(-3);
    translator.horizontalWheel(-1);
    const auto events = drain();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].type, Wheel);
    EXPECT_EQ(events[0].x, 1);
    EXPECT_EQ(events[1].x, 2);
    EXPECT_EQ(events[2].x, 1);
    EXPECT_EQ(events[3].type, HorizontalWheel);
    EXPECT_EQ(events[3].x, -1);
}

TEST_F(Translator, CloseRequestQueuesOneEventAndTheCloseKey) {
    EXPECT_FALSE(takeKeyPressed());
    translator.closeRequested();
    EXPECT_EQ(types(), Types{CloseRequest});
    EXPECT_TRUE(takeKeyPressed());
    EXPECT_FALSE(takeKeyPressed());
}

TEST_F(Translator, AltF4F10AndAltAlonePostNothing) {
    const KeyNotification altF4{0x3E, 0, 0x6B, false};
    const KeyNotification f10{kScanF10, 0, 0x44, false};
    const KeyNotification alt{kScanAlt, 0, 0, false};
    for (const KeyNotification& key : {altF4, f10, alt}) {
        translator.keyPressed(key);
        translator.keyReleased(key);
    }
    EXPECT_TRUE(drain().empty());
    EXPECT_FALSE(takeKeyPressed());
}

TEST_F(Translator, KeysCarryScanCodeAndCharacterAndRepeat) {
    const KeyNotification a{0x1E, 'a', 0, false};
    translator.keyPressed(a);
    EXPECT_EQ(translator.keyState()[0x1E], 1);
    translator.keyPressed(KeyNotification{0x1E, 'a', 0, true});
    translator.keyReleased(a);
    EXPECT_EQ(translator.keyState()[0x1E], 0);
    const auto events = drain();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].type, KeyDown);
    EXPECT_EQ(events[0].x, 0x1E);
    EXPECT_EQ(events[0].y, 'a');
    EXPECT_EQ(events[1].type, KeyRepeat);
    EXPECT_EQ(events[2].type, KeyUp);
    EXPECT_TRUE(takeKeyPressed());
}

TEST_F(Translator, AltEnterAndMaximisingAskForTheFullScreenSwitch) {
    const KeyNotification enter{kScanEnter, '\r', 0, false};
    translator.keyPressed(enter);
    translator.keyPressed(KeyNotification{kScanEnter, '\r', 0, true, true});  // held down from before Alt
    translator.keyPressed(KeyNotification{0x1E, 'a', 0, false, true});
    EXPECT_EQ(owner.switches, 0);
    translator.keyPressed(KeyNotification{kScanEnter, '\r', 0, false, true});
    EXPECT_EQ(owner.switches, 1);
    EXPECT_EQ(types(), (Types{KeyDown, KeyRepeat, KeyDown, KeyDown}));  // the key is still posted
    translator.maximiseRequested();
    EXPECT_EQ(owner.switches, 2);
}

TEST_F(Translator, KeyWithoutCharacterOrExtendedCodeLeavesTheKeyFlag) {
    translator.keyPressed(KeyNotification{0x2A, 0, 0, false});  // Shift alone
    EXPECT_EQ(types(), Types{KeyDown});
    EXPECT_FALSE(takeKeyPressed());
    translator.keyPressed(KeyNotification{0x48, 0, 0x48, false});  // Up arrow
    EXPECT_TRUE(takeKeyPressed());
}

}  // namespace
}  // namespace zopp
