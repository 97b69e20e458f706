// The shared refresh loop over recording back-ends: one hosted on the loop's own thread, one stepped by
// its platform's callbacks through the step it was handed.
#include "screen/window/refresh_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "frame/events.h"
#include "frame/runtime.h"
#include "frame/timing.h"
#include "screen/drawing/line.h"
#include "screen/null/null_backend.h"
#include "screen/state/screen_state.h"
#include "screen/window/backend_choice.h"
#include "screen/window/screen.h"

namespace zopp {
namespace {

using namespace std::chrono_literals;

// What the back-end saw, guarded by its own mutex: the loop's thread writes while the test reads.
struct Record {
    std::mutex mutex;
    std::condition_variable changed;
    std::thread::id windowThread, presentThread, titleThread;
    std::vector<LineSpan> presented;
    std::vector<std::chrono::nanoseconds> timeouts;
    std::string title;
    int destroyed = 0, wakes = 0, pumpsWithoutLock = 0, presentsWithoutLock = 0, fullScreenSwitches = 0;
    std::vector<bool> raisedPriority;
    bool wakePending = false, inputPending = false, pointerOver = false;
    std::function<void(EventTranslator&)> onNextPump;  // what the platform reports at the next pump
    LoopStep step;                                     // what a stepped host was handed

    // The loop waits with no limit: nothing is left for it to do.
    bool idle() const { return !timeouts.empty() && timeouts.back() == std::chrono::nanoseconds::max(); }

    bool waitUntil(const std::function<bool()>& done) {
        std::unique_lock hold(mutex);
        return changed.wait_for(hold, 5s, done);  // a hang detector: it comes in milliseconds
    }
};
Record* record = nullptr;
std::atomic<int> tonesPlayed{0};
void recordTone(const Tone&) {
    ++tonesPlayed;
}

class RecordingBackend final : public NullBackend {
  public:
    explicit RecordingBackend(LoopHost host) : host_(host) {}
    LoopHost loopHost() const override { return host_; }
    void takeStep(const LoopStep& step) override {
        note([&] { record->step = step; });
    }
    bool createWindow(ScreenState&, std::int32_t, std::string_view title, EventTranslator&) override {
        std::lock_guard hold(record->mutex);
        record->windowThread = std::this_thread::get_id();
        record->title = title;
        return true;
    }
    void destroyWindow() override {
        note([] { ++record->destroyed; });
    }
    void transferRows(const ConvertedLines& rows, std::int32_t) override {
        const bool locked = screenLockDepth() > 0;
        note([&] {
            record->presentThread = std::this_thread::get_id();
            record->presented.push_back({rows.first, rows.first + rows.count - 1});
            record->presentsWithoutLock += !locked;
        });
    }
    void pumpInput(EventTranslator& translator) override {
        const bool locked = screenLockDepth() > 0;
        std::function<void(EventTranslator&)> report;
        note([&] {
            record->pumpsWithoutLock += !locked;
            report = std::exchange(record->onNextPump, nullptr);
        });
        if (report) report(translator);
    }
    bool waitForInput(std::optional<std::chrono::nanoseconds> timeout) override {
        std::unique_lock hold(record->mutex);
        record->timeouts.push_back(timeout.value_or(std::chrono::nanoseconds::max()));
        record->changed.notify_all();
        record->changed.wait_for(hold, timeout.value_or(1h),
                                 [] { return record->wakePending || record->inputPending; });
        record->wakePending = false;
        return std::exchange(record->inputPending, false);
    }
    void wake() override {
        note([] {
            ++record->wakes;
            record->wakePending = true;
        });
    }
    void setTitle(std::string_view title) override {
        note([&] {
            record->titleThread = std::this_thread::get_id();
            record->title = title;
        });
    }
    void toggleFullScreen() override {
        note([] { ++record->fullScreenSwitches; });
    }
    void raisePriority(bool raised) override {
        note([&] { record->raisedPriority.push_back(raised); });
    }
    bool pointerOverClient() const override {
        std::lock_guard hold(record->mutex);
        return record->pointerOver;
    }
    BeepSoundHook soundOutput() const override { return recordTone; }

  private:
    template <typename Change>
    static void note(Change change) {
        {
            std::lock_guard hold(record->mutex);
            change();
        }
        record->changed.notify_all();
    }
    const LoopHost host_;
};

std::unique_ptr<Backend> makeThreaded(std::int32_t) {
    return std::make_unique<RecordingBackend>(LoopHost::OwnThread);
}
std::unique_ptr<Backend> makeStepped(std::int32_t) {
    return std::make_unique<RecordingBackend>(LoopHost::Stepped);
}
constexpr BackendFactory kThreaded[] = {makeThreaded};
constexpr BackendFactory kStepped[] = {makeStepped};

class RefreshLoopTest : public ::testing::Test {
  protected:
    void SetUp() override { record = &record_; }
    void TearDown() override {
        closeScreen();
        setBackendFactories({});
        record = nullptr;
    }
    void open(std::span<const BackendFactory> factories, std::int32_t flags = ScreenNoSwitch) {
        setBackendFactories(factories);
        setWindowTitle("loop test");
        ASSERT_EQ(openScreen(64, 48, 32, 0, flags, 0), 0);
    }
    // What a stepped host's platform callbacks do; nothing on a threaded host, whose own thread steps.
    void step() {
        LoopStep handed;
        {
            std::lock_guard hold(record_.mutex);
            handed = record_.step;
        }
        if (handed) handed();
    }
    // The platform reports input: the translator gets `report` at the next pump. Returns after that pump.
    void reportAtNextPump(std::function<void(EventTranslator&)> report) {
        {
            std::lock_guard hold(record_.mutex);
            record_.onNextPump = std::move(report);
            record_.inputPending = true;
        }
        record_.changed.notify_all();
        step();  // a stepped loop pumps now; a threaded one at its next cycle
        ASSERT_TRUE(record_.waitUntil([&] { return !record_.onNextPump; }));
        ScreenLock lock;  // the pump ends under the lock
    }
    std::vector<std::int32_t> eventTypes() {
        std::vector<std::int32_t> types;
        ScreenEvent event{};
        while (pollEvent(&event))
            types.push_back(event.type);
        return types;
    }
    // True once the back-end was given these lines (and nothing else) since the last clearPresented().
    bool presentedExactly(std::int32_t first, std::int32_t last) {
        return record_.waitUntil([&] {
            return record_.presented.size() == 1 && record_.presented[0].first == first &&
                   record_.presented[0].last == last;
        });
    }
    void clearPresented() {
        std::lock_guard hold(record_.mutex);
        record_.presented.clear();
    }
    Record record_;
};

TEST_F(RefreshLoopTest, OwnThreadOpensTheWindowAwayFromTheProgramAndPresentsWhatDrawingMarked) {
    open(kThreaded);
    ASSERT_TRUE(record_.waitUntil([&] { return !record_.presented.empty(); }));  // the opening's clear
    EXPECT_NE(record_.windowThread, std::this_thread::get_id());
    EXPECT_EQ(record_.title, "loop test");
    // Whatever the opening still shows (a window's first repaint comes when its platform says) is shown
    // before the loop idles.
    ASSERT_TRUE(record_.waitUntil([&] { return record_.idle(); }));
    clearPresented();
    drawLine(kScreen, 0, 5, 20, 10, 0xFFFFFF, LineSegment);
    EXPECT_TRUE(presentedExactly(5, 10));
    std::lock_guard hold(record_.mutex);
    EXPECT_EQ(record_.presentThread, record_.windowThread);
    EXPECT_GT(record_.wakes, 0);
    EXPECT_EQ(record_.presentsWithoutLock, 0);
    EXPECT_EQ(record_.pumpsWithoutLock, 0);
}

TEST_F(RefreshLoopTest, TheBeepSoundsThroughTheOpenWindowsOutputAndNoLongerOnceItCloses) {
    tonesPlayed = 0;
    open(kThreaded);
    beep();
    EXPECT_EQ(tonesPlayed, 1);
    closeScreen();
    beep();
    EXPECT_EQ(tonesPlayed, 1) << "a closed window's output still sounded";
}

// Idle means waiting with no limit; before that, and again after input, the waits keep to the period.
TEST_F(RefreshLoopTest, WaitsKeepToTheRefreshPeriodOnlyWhileTheWindowSettlesAfterInput) {
    const auto opened = std::chrono::steady_clock::now();
    open(kThreaded);
    ASSERT_TRUE(record_.waitUntil([&] { return record_.idle(); }));
    EXPECT_GE(std::chrono::steady_clock::now() - opened, kInputSettleTime);
    std::size_t settled = 0;
    const auto input = std::chrono::steady_clock::now();
    {
        std::lock_guard hold(record_.mutex);
        settled = record_.timeouts.size();
        for (std::size_t i = 0; i + 1 < settled; ++i) {
            EXPECT_GT(record_.timeouts[i].count(), 0);
            EXPECT_LE(record_.timeouts[i], std::chrono::nanoseconds(kRefreshPeriod));
        }
        record_.inputPending = true;
    }
    record_.changed.notify_all();
    ASSERT_TRUE(record_.waitUntil([&] { return record_.timeouts.size() > settled + 1 && record_.idle(); }));
    EXPECT_GE(std::chrono::steady_clock::now() - input, kInputSettleTime);
    std::lock_guard hold(record_.mutex);
    EXPECT_LE(record_.timeouts[settled], std::chrono::nanoseconds(kRefreshPeriod)) << "input ends the idle";
}

TEST_F(RefreshLoopTest, WhileIdleDrawingATitleAndAPaletteEachWakeTheLoop) {
    open(kThreaded);
    ASSERT_TRUE(record_.waitUntil([&] { return record_.idle(); }));
    clearPresented();
    drawLine(kScreen, 0, 5, 20, 10, 0xFFFFFF, LineSegment);
    EXPECT_TRUE(presentedExactly(5, 10));

    ASSERT_TRUE(record_.waitUntil([&] { return record_.idle(); }));
    setWindowTitle("ZOPP - V0.1(2008)");
    ASSERT_TRUE(record_.waitUntil([&] { return record_.title == "ZOPP - V0.1(2008)"; }));

    ASSERT_TRUE(record_.waitUntil([&] { return record_.idle(); }));
    clearPresented();
    {
        ScreenLock lock;
        paletteChanged(*currentScreen());
    }
    EXPECT_TRUE(presentedExactly(0, 47));  // a new palette shows on every line
    std::lock_guard hold(record_.mutex);
    EXPECT_EQ(record_.titleThread, record_.windowThread);
}

// The refresh thread that ends the program is parked, holding the lock; closing the screen at the end
// leaves it so, and the program still ends with its code.
TEST_F(RefreshLoopTest, AnEndOnTheRefreshThreadStillEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process: a fork would lose this one's threads
    EXPECT_EXIT(
        {
            open(kThreaded);
            reportAtNextPump([](EventTranslator&) { endProgram(7); });
        },
        ::testing::ExitedWithCode(7), "");
}

TEST_F(RefreshLoopTest, PumpedInputReachesTheEventQueue) {
    open(kThreaded);
    {
        std::lock_guard hold(record_.mutex);
        record_.onNextPump = [](EventTranslator& translator) { translator.closeRequested(); };
    }
    ScreenEvent event{};
    const auto end = std::chrono::steady_clock::now() + 2s;
    while (!(pollEvent(&event) && event.type == CloseRequest) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(1ms);
    EXPECT_EQ(event.type, CloseRequest);
}

TEST_F(RefreshLoopTest, ClosingStopsTheThreadAfterItClosedTheWindow) {
    open(kThreaded);
    closeScreen();
    std::size_t waits = 0;
    {
        std::lock_guard hold(record_.mutex);
        EXPECT_EQ(record_.destroyed, 1);
        EXPECT_NE(record_.windowThread, std::this_thread::get_id());
        waits = record_.timeouts.size();
    }
    std::this_thread::sleep_for(3 * kRefreshPeriod);
    std::lock_guard hold(record_.mutex);
    EXPECT_EQ(record_.timeouts.size(), waits);  // nothing runs any more
}

TEST_F(RefreshLoopTest, ASteppedHostRefreshesOnlyWhenItsStepRunsOrTheProgramSleeps) {
    open(kStepped);
    EXPECT_EQ(record_.windowThread, std::this_thread::get_id());
    drawLine(kScreen, 0, 7, 20, 9, 0xFFFFFF, LineSegment);
    std::this_thread::sleep_for(3 * kRefreshPeriod);
    {
        std::lock_guard hold(record_.mutex);
        EXPECT_TRUE(record_.presented.empty());
        EXPECT_TRUE(record_.timeouts.empty());  // it never waits
        EXPECT_EQ(record_.wakes, 1);            // but asks for a step
        record_.onNextPump = [](EventTranslator& translator) { translator.closeRequested(); };
    }
    step();
    ASSERT_EQ(record_.presented.size(), 1u);
    EXPECT_EQ(record_.presented[0].first, 0);  // the opening's clear, then the line
    EXPECT_EQ(record_.presented[0].last, 47);
    EXPECT_EQ(record_.presentThread, std::this_thread::get_id());
    ScreenEvent event{};
    EXPECT_EQ(pollEvent(&event), -1);
    EXPECT_EQ(event.type, FocusGained);
    EXPECT_EQ(pollEvent(&event), -1);
    EXPECT_EQ(event.type, CloseRequest);
    clearPresented();
    drawLine(kScreen, 0, 20, 20, 20, 0xFFFFFF, LineSegment);
    step();
    EXPECT_TRUE(presentedExactly(20, 20));
    EXPECT_EQ(record_.wakes, 2);  // each step allows the next wake
    clearPresented();
    drawLine(kScreen, 0, 30, 20, 30, 0xFFFFFF, LineSegment);
    sleepMs(1);  // the page shows the drawing while the program sleeps
    EXPECT_TRUE(presentedExactly(30, 30));
    closeScreen();
    EXPECT_EQ(record_.destroyed, 1);
    EXPECT_FALSE(record_.step) << "a closed window's step was left with its host";
    clearPresented();
    sleepMs(1);
    EXPECT_TRUE(record_.presented.empty());
}

// Whatever the platform said while the window was made, it is active once shown: the focus (and the
// pointer, if it is over the window) reach the queue before any input.
TEST_F(RefreshLoopTest, TheShownWindowIsActiveBeforeAnyInput) {
    record_.pointerOver = true;
    open(kStepped);
    EXPECT_EQ(eventTypes(), (std::vector<std::int32_t>{FocusGained, PointerEnter}));
    reportAtNextPump([](EventTranslator& translator) { translator.focusChanged(true); });
    EXPECT_TRUE(eventTypes().empty());
}

TEST_F(RefreshLoopTest, ActivationRepaintsTheWholeWindow) {
    open(kThreaded);
    ASSERT_TRUE(record_.waitUntil([&] { return record_.idle(); }));
    clearPresented();
    reportAtNextPump([](EventTranslator& translator) { translator.focusChanged(false); });
    EXPECT_TRUE(presentedExactly(0, 47));
    clearPresented();
    reportAtNextPump([](EventTranslator& translator) { translator.focusChanged(true); });
    EXPECT_TRUE(presentedExactly(0, 47));
}

TEST_F(RefreshLoopTest, TheHighPriorityFlagRaisesTheRefreshWhileTheWindowIsActive) {
    open(kStepped, ScreenNoSwitch | ScreenHighPriority);
    reportAtNextPump([](EventTranslator& translator) { translator.minimisedChanged(true); });
    reportAtNextPump([](EventTranslator& translator) { translator.minimisedChanged(false); });
    EXPECT_EQ(record_.raisedPriority, (std::vector<bool>{true, false, true}));
    closeScreen();
    open(kStepped);
    reportAtNextPump([](EventTranslator& translator) { translator.focusChanged(false); });
    EXPECT_EQ(record_.raisedPriority.size(), 3u);  // without the flag, never
}

TEST_F(RefreshLoopTest, FullScreenSwitchesOnlyWhereSwitchingIsAllowed) {
    const auto altEnterAndMaximise = [](EventTranslator& translator) {
        translator.keyPressed(KeyNotification{kScanEnter, '\r', 0, false, true});
        translator.maximiseRequested();
    };
    open(kStepped);
    reportAtNextPump(altEnterAndMaximise);
    EXPECT_EQ(record_.fullScreenSwitches, 0);
    closeScreen();
    open(kStepped, 0);
    step();
    clearPresented();
    reportAtNextPump(altEnterAndMaximise);
    EXPECT_EQ(record_.fullScreenSwitches, 2);
    step();
    EXPECT_TRUE(presentedExactly(0, 47));  // and everything shows again
}

}  // namespace
}  // namespace zopp
