// The page's input records as the program sees them: mouse, finger taps, keys, capture and leaving.
#include <gtest/gtest.h>

#include <vector>

#include "frame/events.h"
#include "screen/backend/event_translator.h"
#include "screen/backend/input.h"
#include "screen/web/page_input.h"

namespace zopp {
namespace {

// Passes the translator's wishes to the page input, as the back-end does.
class PageWindow : public WindowPlatform {
  public:
    explicit PageWindow(PageInput& input) : input_(input) {}
    void capturePointer() override { input_.capture(true); }
    void releasePointer() override { input_.capture(false); }
    bool holdsPointer() const override { return input_.capturing(); }
    bool pointerOverClient() const override { return input_.pointerOver(); }

  private:
    PageInput& input_;
};

class NoOwner : public WindowOwner {
    void activityChanged(bool) override {}
    void fullScreenSwitchRequested() override {}
};

class PageInputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        openEventQueue();
        resetInput();
        translator.activationChanged(true, false);  // as the canvas opens
        drain();
    }
    void TearDown() override { closeEventQueue(); }

    void feed(PageEvent event, std::int32_t a = 0, std::int32_t b = 0, std::int32_t c = 0,
              std::int32_t d = 0) {
        input.feed(event, PageRecord{static_cast<std::int32_t>(event), a, b, c, d}, translator);
    }
    // A mouse motion at canvas (x, y); the canvas sits at (100, 200) on the desktop.
    void mouse(std::int32_t x, std::int32_t y) { feed(PageEvent::Motion, x, y, 100 + x, 200 + y); }
    void tap(std::int32_t x, std::int32_t y) { feed(PageEvent::Tap, x, y, 100 + x, 200 + y); }

    std::vector<ScreenEvent> drain() {
        std::vector<ScreenEvent> events;
        ScreenEvent event{};
        while (pollEvent(&event))
            events.push_back(event);
        return events;
    }
    std::vector<std::int32_t> types() {
        std::vector<std::int32_t> result;
        for (const ScreenEvent& event : drain())
            result.push_back(event.type);
        return result;
    }

    PageInput input{640, 480};
    PageWindow window{input};
    NoOwner owner;
    EventTranslator translator{window, owner};
};

using Types = std::vector<std::int32_t>;

TEST_F(PageInputTest, ATapOnAFreshPageMovesThePointerToItThenClicksAndLeaves) {
    tap(470, 405);
    const auto events = drain();
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0].type, PointerEnter);  // where the pointer was: the game ignores it
    EXPECT_EQ(events[1].type, PointerMove);
    EXPECT_EQ(events[1].x, 470);
    EXPECT_EQ(events[1].y, 405);
    EXPECT_EQ(events[2].type, ButtonDown);
    EXPECT_EQ(events[2].button(), LeftButton);
    EXPECT_EQ(events[3].type, ButtonUp);
    EXPECT_EQ(events[3].button(), LeftButton);
    EXPECT_EQ(events[4].type, PointerLeave);
    EXPECT_FALSE(translator.pointerInside());
}

TEST_F(PageInputTest, TapsFollowEachOtherAndASecondTapOnTheSameSpotNeedsNoMove) {
    tap(155, 375);
    drain();
    tap(470, 405);
    auto events = drain();
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0].type, PointerEnter);
    EXPECT_EQ(events[0].x, 155);  // the pointer comes back where the last tap left it
    EXPECT_EQ(events[1].type, PointerMove);
    EXPECT_EQ(events[1].x, 470);
    EXPECT_EQ(events[1].dx, 470 - 155);
    EXPECT_EQ(events[1].dy, 405 - 375);

    tap(470, 405);
    EXPECT_EQ(types(), (Types{PointerEnter, ButtonDown, ButtonUp, PointerLeave}));
}

TEST_F(PageInputTest, ATapWhileTheMouseIsOverTheCanvasIsAPlainClickThere) {
    mouse(10, 10);
    mouse(20, 10);
    drain();
    tap(300, 200);
    const auto events = drain();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].type, PointerMove);
    EXPECT_EQ(events[0].x, 300);
    EXPECT_EQ(events[1].type, ButtonDown);
    EXPECT_EQ(events[2].type, ButtonUp);
    EXPECT_TRUE(translator.pointerInside());
}

TEST_F(PageInputTest, MotionOffTheCanvasCountsOnlyWhileAButtonHoldsTheCapture) {
    mouse(10, 10);
    mouse(5, 10);
    drain();
    mouse(-3, 10);  // over the page beside the canvas, no button
    EXPECT_TRUE(drain().empty());

    mouse(5, 10);
    feed(PageEvent::Press, LeftButton, 1000, 5, 10);
    mouse(-3, 10);
    mouse(-8, 500);
    feed(PageEvent::Release, LeftButton);
    const auto events = drain();
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0].type, PointerMove);
    EXPECT_EQ(events[1].type, ButtonDown);
    EXPECT_EQ(events[2].type, PointerMove);
    EXPECT_EQ(events[2].x, -3);
    EXPECT_EQ(events[3].type, PointerMove);
    EXPECT_EQ(events[3].x, -8);
    EXPECT_EQ(events[3].y, 500);
    EXPECT_EQ(events[4].type, ButtonUp);
    EXPECT_FALSE(input.capturing());
}

TEST_F(PageInputTest, PressesAreCountedIntoSeriesByTheirTimeAndPlace) {
    feed(PageEvent::Press, LeftButton, 1000, 5, 10);
    feed(PageEvent::Press, LeftButton, 1200, 8, 12);
    feed(PageEvent::Press, LeftButton, 1400, 300, 12);
    EXPECT_EQ(types(), (Types{ButtonDown, DoubleClick, ButtonDown}));
}

TEST_F(PageInputTest, WheelStepsCountAwayFromThePlayerAndToTheRight) {
    feed(PageEvent::Wheel, 1, 0);
    feed(PageEvent::Wheel, 1, 0);
    feed(PageEvent::Wheel, -1, 1);
    const auto events = drain();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].type, Wheel);
    EXPECT_EQ(events[1].wheel(), 2);
    EXPECT_EQ(events[2].type, Wheel);
    EXPECT_EQ(events[2].wheel(), 1);
    EXPECT_EQ(events[3].type, HorizontalWheel);
    EXPECT_EQ(events[3].wheel(), 1);
}

TEST_F(PageInputTest, ThePageLosingFocusWithThePointerOverItLeavesThenLosesFocus) {
    mouse(10, 10);
    drain();
    feed(PageEvent::Activation, 0, 0, 1);
    EXPECT_EQ(types(), (Types{PointerLeave, FocusLost}));
    feed(PageEvent::Activation, 1, 0, 1);
    EXPECT_EQ(types(), (Types{FocusGained, PointerEnter}));
}

// Keys come by their place on the keyboard (HID usages) with the character the page's layout made.
TEST_F(PageInputTest, KeysBecomeSetOneScanCodesWithTheirCharactersAndRaiseTheKeyFlag) {
    constexpr std::int32_t hidA = 0x04, hidEscape = 0x29;
    takeKeyPressed();
    feed(PageEvent::KeyDown, hidA, 'a', 0, 0);
    feed(PageEvent::KeyDown, hidA, 'a', 0, 1);
    feed(PageEvent::KeyUp, hidA, 'a', 0);
    feed(PageEvent::KeyDown, hidEscape, 27, 0, 0);
    const auto events = drain();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].type, KeyDown);
    EXPECT_EQ(events[0].scanCode(), 0x1E);
    EXPECT_EQ(events[0].character(), 'a');
    EXPECT_EQ(events[1].type, KeyRepeat);
    EXPECT_EQ(events[2].type, KeyUp);
    EXPECT_EQ(events[3].scanCode(), 0x01);
    EXPECT_EQ(events[3].character(), 27);
    EXPECT_TRUE(takeKeyPressed()) << "a key raises the flag that long sleeps watch";
}

TEST_F(PageInputTest, AltF10AndAltF4AreConsumedAndOtherKeysKeepTheirModifiers) {
    constexpr std::int32_t hidLeftAlt = 0xE2, hidF10 = 0x43, hidF4 = 0x3D, hidHome = 0x4A;
    feed(PageEvent::KeyDown, hidLeftAlt, 0, PageAlt, 0);
    feed(PageEvent::KeyDown, hidF4, 0, PageAlt, 0);
    feed(PageEvent::KeyUp, hidF4, 0, PageAlt);
    feed(PageEvent::KeyUp, hidLeftAlt, 0, 0);
    feed(PageEvent::KeyDown, hidF10, 0, 0, 0);
    EXPECT_TRUE(drain().empty());
    feed(PageEvent::KeyDown, hidHome, 0, PageCtrl, 0);
    const auto events = drain();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].scanCode(), 0x47);
    EXPECT_EQ(events[0].character(), 0);
}

TEST_F(PageInputTest, CharactersOutsideTheEightBitSetAreNone) {
    feed(PageEvent::KeyDown, 0x08, 0x20AC, 0, 0);  // the E key of a layout that puts the euro sign there
    const auto events = drain();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].scanCode(), 0x12);
    EXPECT_EQ(events[0].character(), 0);
}

}  // namespace
}  // namespace zopp
