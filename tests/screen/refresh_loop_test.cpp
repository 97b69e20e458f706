// The shared refresh loop over recording back-ends: one hosted on the loop's own thread, one stepped by
// its platform's callbacks.
#include "screen/refresh_loop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "frame/events.h"
#include "screen/line.h"
#include "screen/screen.h"
#include "screen/screen_state.h"
#include "tests/support/window_less_backend.h"

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
    int palettes = 0, destroyed = 0, wakes = 0, pumpsWithoutLock = 0, presentsWithoutLock = 0;
    bool wakePending = false, closeOnNextPump = false;

    bool waitUntil(const std::function<bool()>& done) {
        std::unique_lock hold(mutex);
        return changed.wait_for(hold, 2s, done);
    }
};
Record* record = nullptr;

class RecordingBackend final : public testing::WindowLessBackend {
  public:
    explicit RecordingBackend(LoopHost host) : host_(host) {}
    LoopHost loopHost() const override { return host_; }
    bool createWindow(ScreenState&, std::int32_t, std::string_view title, EventTranslator&) override {
        std::lock_guard hold(record->mutex);
        record->windowThread = std::this_thread::get_id();
        record->title = title;
        return true;
    }
    void destroyWindow() override {
        note([] { ++record->destroyed; });
    }
    void present(std::span<const LineSpan> spans) override {
        const bool locked = screenLockDepth() > 0;
        note([&] {
            record->presentThread = std::this_thread::get_id();
            record->presented.insert(record->presented.end(), spans.begin(), spans.end());
            record->presentsWithoutLock += !locked;
        });
    }
    void pumpInput(EventTranslator& translator) override {
        const bool locked = screenLockDepth() > 0;
        bool close = false;
        note([&] {
            record->pumpsWithoutLock += !locked;
            close = std::exchange(record->closeOnNextPump, false);
        });
        if (close) translator.closeRequested();
    }
    void waitForInput(std::optional<std::chrono::nanoseconds> timeout) override {
        std::unique_lock hold(record->mutex);
        record->timeouts.push_back(timeout.value_or(std::chrono::nanoseconds::max()));
        record->changed.wait_for(hold, timeout.value_or(1h), [] { return record->wakePending; });
        record->wakePending = false;
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
    void setPalette(std::span<const std::uint32_t, 256>) override {
        note([] { ++record->palettes; });
    }

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
    return std::make_unique<RecordingBackend>(LoopHost::PlatformCallbacks);
}
constexpr BackendFactory threaded[] = {makeThreaded};
constexpr BackendFactory stepped[] = {makeStepped};

class RefreshLoopTest : public ::testing::Test {
  protected:
    void SetUp() override { record = &record_; }
    void TearDown() override {
        closeScreen();
        setBackendFactories({});
        record = nullptr;
    }
    void open(std::span<const BackendFactory> factories) {
        setBackendFactories(factories);
        setWindowTitle("loop test");
        ASSERT_EQ(openScreen(64, 48, 32, 0, 4, 0), 0);
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
    open(threaded);
    ASSERT_TRUE(record_.waitUntil([&] { return !record_.presented.empty(); }));  // the opening's clear
    EXPECT_NE(record_.windowThread, std::this_thread::get_id());
    EXPECT_EQ(record_.title, "loop test");
    clearPresented();
    drawLine(SCREEN, 0, 5, 20, 10, 0xFFFFFF, LineSegment);
    refreshStep();  // only the loop's own thread runs its cycles
    EXPECT_TRUE(presentedExactly(5, 10));
    std::lock_guard hold(record_.mutex);
    EXPECT_EQ(record_.presentThread, record_.windowThread);
    EXPECT_GT(record_.wakes, 0);
    EXPECT_EQ(record_.presentsWithoutLock, 0);
    EXPECT_EQ(record_.pumpsWithoutLock, 0);
}

TEST_F(RefreshLoopTest, EveryWaitIsBoundedByTheRefreshPeriod) {
    open(threaded);
    ASSERT_TRUE(record_.waitUntil([&] { return record_.timeouts.size() >= 5; }));
    std::lock_guard hold(record_.mutex);
    for (const auto timeout : record_.timeouts) {
        EXPECT_GT(timeout.count(), 0);
        EXPECT_LE(timeout, std::chrono::nanoseconds(refreshPeriod));
    }
}

TEST_F(RefreshLoopTest, TitleAndPaletteChangesReachTheBackEndOnTheLoopsThread) {
    open(threaded);
    ASSERT_TRUE(record_.waitUntil([&] { return !record_.presented.empty(); }));  // the opening's clear
    setWindowTitle("ZOPP - V0.1(2008)");
    ASSERT_TRUE(record_.waitUntil([&] { return record_.title == "ZOPP - V0.1(2008)"; }));
    clearPresented();
    {
        ScreenLock lock;
        currentScreen()->refresh->paletteChanged();
    }
    EXPECT_TRUE(presentedExactly(0, 47));  // a new palette shows on every line
    std::lock_guard hold(record_.mutex);
    EXPECT_EQ(record_.palettes, 1);
    EXPECT_EQ(record_.titleThread, record_.windowThread);
}

TEST_F(RefreshLoopTest, PumpedInputReachesTheEventQueue) {
    open(threaded);
    {
        std::lock_guard hold(record_.mutex);
        record_.closeOnNextPump = true;
    }
    ScreenEvent event{};
    const auto end = std::chrono::steady_clock::now() + 2s;
    while (!(pollEvent(&event) && event.type == CloseRequest) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(1ms);
    EXPECT_EQ(event.type, CloseRequest);
}

TEST_F(RefreshLoopTest, ClosingStopsTheThreadAfterItClosedTheWindow) {
    open(threaded);
    closeScreen();
    std::size_t waits = 0;
    {
        std::lock_guard hold(record_.mutex);
        EXPECT_EQ(record_.destroyed, 1);
        EXPECT_NE(record_.windowThread, std::this_thread::get_id());
        waits = record_.timeouts.size();
    }
    std::this_thread::sleep_for(3 * refreshPeriod);
    std::lock_guard hold(record_.mutex);
    EXPECT_EQ(record_.timeouts.size(), waits);  // nothing runs any more
}

TEST_F(RefreshLoopTest, ACallbackHostRefreshesOnlyWhenStepped) {
    open(stepped);
    EXPECT_EQ(record_.windowThread, std::this_thread::get_id());
    drawLine(SCREEN, 0, 7, 20, 9, 0xFFFFFF, LineSegment);
    std::this_thread::sleep_for(3 * refreshPeriod);
    {
        std::lock_guard hold(record_.mutex);
        EXPECT_TRUE(record_.presented.empty());
        EXPECT_TRUE(record_.timeouts.empty());  // it never waits
        EXPECT_EQ(record_.wakes, 1);            // but asks for a step
        record_.closeOnNextPump = true;
    }
    refreshStep();
    ASSERT_EQ(record_.presented.size(), 1u);
    EXPECT_EQ(record_.presented[0].first, 0);  // the opening's clear, then the line
    EXPECT_EQ(record_.presented[0].last, 47);
    EXPECT_EQ(record_.presentThread, std::this_thread::get_id());
    ScreenEvent event{};
    EXPECT_EQ(pollEvent(&event), -1);
    clearPresented();
    drawLine(SCREEN, 0, 20, 20, 20, 0xFFFFFF, LineSegment);
    refreshStep();
    EXPECT_TRUE(presentedExactly(20, 20));
    EXPECT_EQ(record_.wakes, 2);  // each step allows the next wake
    closeScreen();
    EXPECT_EQ(record_.destroyed, 1);
}

}  // namespace
}  // namespace zopp
