// The screen probe in a real window on a private Xvfb server.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <thread>

#include "frame/events.h"
#include "tests/e2e/probe_events.h"
#include "tests/e2e/x11_harness.h"

namespace zopp::e2e {
namespace {

constexpr const char* probeTitle = "ZOPP screen probe";

// Index of the first event at or after `from` of the type, or -1.
int findEvent(const std::vector<Event>& events, int type, std::size_t from) {
    for (std::size_t i = from; i < events.size(); ++i) {
        if (events[i].type == type) return static_cast<int>(i);
    }
    return -1;
}

class ScreenEndToEnd : public ::testing::Test {
  protected:
    XvfbServer server;
    XSession x{server.display()};
};

TEST_F(ScreenEndToEnd, WindowShowsTheFrameBufferAndReportsTheInputItCaused) {
    x.movePointerOnRoot(0, 0);  // start outside the window
    LaunchedProgram probe(ZOPP_SCREEN_PROBE, {}, server.display());
    ASSERT_TRUE(probe.waitForLine("ready")) << probe.standardError();
    const ::Window window = x.waitForWindow(probeTitle);
    ASSERT_NE(window, 0u);

    const XSession::Geometry g = x.geometry(window);
    EXPECT_EQ(g.width, 640);
    EXPECT_EQ(g.height, 480);
    EXPECT_EQ(g.x, (1024 - 640) >> 1);  // centred; no window manager, so no frame
    EXPECT_EQ(g.y, (768 - 480) >> 1);

    ASSERT_TRUE(probe.waitForLine("event 11"));  // FocusGained came with the window
    EXPECT_EQ(x.waitForPixel(window, 10, 10, 0xFF0000u), 0xFF0000u);
    EXPECT_EQ(x.pixel(window, 109, 59), 0xFF0000u);
    EXPECT_EQ(x.pixel(window, 110, 59), 0x000000u);
    EXPECT_EQ(x.pixel(window, 109, 60), 0x000000u);
    EXPECT_EQ(x.pixel(window, 225, 125), 0x00FF00u);
    EXPECT_EQ(x.pixel(window, 639, 479), 0x0000FFu);
    EXPECT_EQ(x.pixel(window, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(x.pixel(window, 320, 300), 0x000000u);

    // Each step waits for the event it causes, so the next one cannot overtake it.
    x.movePointer(window, 100, 100);
    ASSERT_TRUE(probe.waitForLine("event 9 100 100"));
    x.movePointer(window, 103, 104);
    ASSERT_TRUE(probe.waitForLine("event 4 103 104"));
    x.click(1);
    ASSERT_TRUE(probe.waitForLine("event 6 1"));
    x.press(1);
    ASSERT_TRUE(probe.waitForLine("event 7 1"));
    x.movePointer(window, -10, 104);  // dragging past the left edge
    ASSERT_TRUE(probe.waitForLine("event 4 -10 104"));
    x.release(1);
    ASSERT_TRUE(probe.waitForLine("event 6 1"));
    x.sendDeleteWindow(window);

    EXPECT_EQ(probe.wait(), 0);
    EXPECT_EQ(probe.standardError(), "");
    const auto events = eventsOf(probe.linesAfter("ready"));
    std::ostringstream all;
    for (const Event& e : events)
        all << e.type << '(' << e.a << ',' << e.b << ',' << e.c << ',' << e.d << ") ";
    SCOPED_TRACE(all.str());
    std::printf("events: %s\n", all.str().c_str());

    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events[0].type, FocusGained);
    const int enter = findEvent(events, PointerEnter, 0);
    ASSERT_GE(enter, 0);
    EXPECT_EQ(events[enter].a, 100);
    EXPECT_EQ(events[enter].b, 100);
    const int move = findEvent(events, PointerMove, static_cast<std::size_t>(enter));
    ASSERT_GT(move, enter);
    EXPECT_EQ(events[move].a, 103);
    EXPECT_EQ(events[move].b, 104);
    EXPECT_EQ(events[move].c, 3);
    EXPECT_EQ(events[move].d, 4);
    const int down = findEvent(events, ButtonDown, static_cast<std::size_t>(move));
    ASSERT_GT(down, move);
    EXPECT_EQ(events[down].a, LeftButton);
    ASSERT_GT(static_cast<int>(events.size()), down + 1);
    EXPECT_EQ(events[down + 1].type, ButtonUp);
    EXPECT_EQ(events[down + 1].a, LeftButton);
    ASSERT_GT(static_cast<int>(events.size()), down + 2);
    EXPECT_EQ(events[down + 2].type, DoubleClick);  // the second press followed within the double-click time
    EXPECT_EQ(events[down + 2].a, LeftButton);
    const int dragged = findEvent(events, PointerMove, static_cast<std::size_t>(down + 1));
    ASSERT_GT(dragged, down);
    EXPECT_EQ(events[dragged].a, -10);
    EXPECT_EQ(events[dragged].b, 104);
    EXPECT_EQ(events[dragged].c, -113);
    const int released = findEvent(events, ButtonUp, static_cast<std::size_t>(dragged));
    ASSERT_GT(released, dragged);
    EXPECT_EQ(events[released].a, LeftButton);
    int closes = 0;
    for (const Event& e : events)
        closes += e.type == CloseRequest;
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(events.back().type, CloseRequest);
}

// The probe's events after "ready", once the window was closed, with the list as a trace for failures.
std::vector<Event> closeAndCollect(XSession& x, ::Window window, LaunchedProgram& probe) {
    x.sendDeleteWindow(window);
    EXPECT_EQ(probe.wait(), 0);
    EXPECT_EQ(probe.standardError(), "");
    return eventsOf(probe.linesAfter("ready"));
}

std::string traceOf(const std::vector<Event>& events) {
    std::ostringstream all;
    for (const Event& e : events)
        all << e.type << '(' << e.a << ',' << e.b << ',' << e.c << ',' << e.d << ") ";
    return all.str();
}

// Leaving with no button held is only a leave: no motion clamped to the edge comes first, and the next
// enter measures from the last motion the window really received.
TEST_F(ScreenEndToEnd, LeavingPostsOnlyTheLeaveAndTheNextEnterMeasuresFromTheLastRealMotion) {
    x.movePointerOnRoot(0, 0);
    LaunchedProgram probe(ZOPP_SCREEN_PROBE, {}, server.display());
    ASSERT_TRUE(probe.waitForLine("ready")) << probe.standardError();
    const ::Window window = x.waitForWindow(probeTitle);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(probe.waitForLine("event 11"));

    x.movePointer(window, 100, 100);
    ASSERT_TRUE(probe.waitForLine("event 9 100 100"));
    x.movePointer(window, -57, -17);  // jump out over the top left corner
    ASSERT_TRUE(probe.waitForLine("event 10"));
    x.movePointer(window, 120, 130);  // back in: 20, 30 from the last motion inside
    ASSERT_TRUE(probe.waitForLine("event 9 120 130"));
    x.movePointer(window, 5, 200);
    ASSERT_TRUE(probe.waitForLine("event 4 5 200"));
    x.movePointer(window, -5, 200);  // one step over the left edge
    ASSERT_TRUE(probe.waitForLine("event 10"));
    const auto events = closeAndCollect(x, window, probe);
    SCOPED_TRACE(traceOf(events));

    std::vector<Event> pointer;
    for (const Event& e : events) {
        if (e.type == PointerMove || e.type == PointerEnter || e.type == PointerLeave) pointer.push_back(e);
    }
    ASSERT_EQ(pointer.size(), 5u);
    EXPECT_EQ(pointer[0].type, PointerEnter);
    EXPECT_EQ(pointer[1].type, PointerLeave);
    EXPECT_EQ(pointer[2].type, PointerEnter);
    EXPECT_EQ(pointer[2].a, 120);
    EXPECT_EQ(pointer[2].b, 130);
    EXPECT_EQ(pointer[2].c, 20);
    EXPECT_EQ(pointer[2].d, 30);
    EXPECT_EQ(pointer[3].type, PointerMove);
    EXPECT_EQ(pointer[3].a, 5);
    EXPECT_EQ(pointer[3].b, 200);
    EXPECT_EQ(pointer[4].type, PointerLeave);
}

// A button pressed outside the window and released over it: X gives the window the release, and a release
// over a game button is a click.
TEST_F(ScreenEndToEnd, ReleaseOfAButtonPressedOutsideIsPosted) {
    x.movePointerOnRoot(0, 0);
    LaunchedProgram probe(ZOPP_SCREEN_PROBE, {}, server.display());
    ASSERT_TRUE(probe.waitForLine("ready")) << probe.standardError();
    const ::Window window = x.waitForWindow(probeTitle);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(probe.waitForLine("event 11"));

    x.movePointer(window, -30, 50);
    x.press(1);
    x.movePointer(window, 40, 50);
    ASSERT_TRUE(probe.waitForLine("event 9 40 50"));
    x.movePointer(window, 45, 52);
    ASSERT_TRUE(probe.waitForLine("event 4 45 52"));
    x.release(1);
    ASSERT_TRUE(probe.waitForLine("event 6 1"));
    const auto events = closeAndCollect(x, window, probe);
    SCOPED_TRACE(traceOf(events));

    EXPECT_EQ(findEvent(events, ButtonDown, 0), -1);
    const int move = findEvent(events, PointerMove, 0);
    ASSERT_GE(move, 0);
    EXPECT_EQ(events[move].a, 45);
    const int up = findEvent(events, ButtonUp, static_cast<std::size_t>(move));
    ASSERT_GT(up, move);
    EXPECT_EQ(events[up].a, LeftButton);
}

TEST_F(ScreenEndToEnd, FixedSizeWindowWithIconAndTranslatedKeys) {
    LaunchedProgram probe(ZOPP_SCREEN_PROBE, {}, server.display());
    ASSERT_TRUE(probe.waitForLine("ready")) << probe.standardError();
    const ::Window window = x.waitForWindow(probeTitle);
    ASSERT_NE(window, 0u);
    const XSession::SizeHints hints = x.sizeHints(window);
    EXPECT_EQ(hints.minWidth, 640);
    EXPECT_EQ(hints.maxWidth, 640);
    EXPECT_EQ(hints.minHeight, 480);
    EXPECT_EQ(hints.maxHeight, 480);
    EXPECT_TRUE(x.hasProperty(window, "_NET_WM_ICON"));

    // The server keeps the order of one connection's requests: the focus is in place before the keys.
    x.movePointer(window, 300, 200);
    x.focus(window);
    x.pressKey("Escape");
    x.releaseKey("Escape");
    x.pressKey("a");
    x.releaseKey("a");
    x.pressKey("F10");  // consumed
    x.releaseKey("F10");
    x.pressKey("Alt_L");  // Alt alone and Alt+F4 are consumed
    x.pressKey("F4");
    x.releaseKey("F4");
    x.releaseKey("Alt_L");
    x.sendDeleteWindow(window);
    EXPECT_EQ(probe.wait(), 0);

    std::vector<Event> keys;
    for (const Event& e : eventsOf(probe.linesAfter("ready"))) {
        if (e.type == KeyDown || e.type == KeyUp || e.type == KeyRepeat) keys.push_back(e);
    }
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys[0].type, KeyDown);
    EXPECT_EQ(keys[0].a, 0x01);  // Escape's scan code
    EXPECT_EQ(keys[0].b, 27);
    EXPECT_EQ(keys[1].type, KeyUp);
    EXPECT_EQ(keys[2].type, KeyDown);
    EXPECT_EQ(keys[2].a, 0x1E);
    EXPECT_EQ(keys[2].b, 'a');
    EXPECT_EQ(keys[3].type, KeyUp);
    EXPECT_EQ(probe.standardError(), "");
}

// Every window kind shows the frame buffer and passes the close request on: OpenGL, frameless, shaped
// (which shows only pixels with a non-zero alpha byte), full screen (Xvfb cannot switch modes, so the
// layer falls back to a window) and the high-priority refresh.
class WindowKinds : public ScreenEndToEnd, public ::testing::WithParamInterface<int> {};

TEST_P(WindowKinds, ShowTheFrameBufferAndCloseOnRequest) {
    const int flags = GetParam();
    LaunchedProgram probe(ZOPP_SCREEN_PROBE, {std::to_string(flags)}, server.display());
    ASSERT_TRUE(probe.waitForLine("ready")) << probe.standardError();
    const ::Window window = x.waitForWindow(probeTitle);
    ASSERT_NE(window, 0u);
    EXPECT_EQ(x.geometry(window).width, 640);
    EXPECT_EQ(x.geometry(window).height, 480);
    ASSERT_TRUE(probe.waitForLine("event 11"));
    EXPECT_EQ(x.waitForPixel(window, 225, 125, 0x00FF00u), 0x00FF00u);
    if (flags & 16) {
        EXPECT_TRUE(x.insideShape(window, 225, 125));
        EXPECT_TRUE(eventually([&] { return !x.insideShape(window, 10, 10); }));  // alpha 0
    } else {
        EXPECT_TRUE(x.insideShape(window, 10, 10));
        EXPECT_EQ(x.pixel(window, 10, 10), 0xFF0000u);
        EXPECT_EQ(x.pixel(window, 639, 479), 0x0000FFu);
    }
    x.sendDeleteWindow(window);
    EXPECT_EQ(probe.wait(), 0);
    EXPECT_EQ(probe.standardError(), "");
}

INSTANTIATE_TEST_SUITE_P(Flags, WindowKinds, ::testing::Values(2, 6, 12, 16, 5, 132, 68));

// A settled window's loop waits with no time limit; what the display reports must still reach it: an
// uncovered part shows its pixels again at once, and focus changes (which the toolkit hands on some
// 200 ms late) arrive.
TEST_F(ScreenEndToEnd, AfterALongIdleUncoveredPixelsAndFocusChangesStillArrive) {
    using namespace std::chrono_literals;
    x.movePointerOnRoot(0, 0);
    LaunchedProgram probe(ZOPP_SCREEN_PROBE, {}, server.display());
    ASSERT_TRUE(probe.waitForLine("ready")) << probe.standardError();
    const ::Window window = x.waitForWindow(probeTitle);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(probe.waitForLine("event 11"));
    ASSERT_EQ(x.waitForPixel(window, 10, 10, 0xFF0000u), 0xFF0000u);
    x.focus(window);
    std::this_thread::sleep_for(1s);

    const ::Window cover = x.cover(window, 0, 0, 320, 240, 0xFF00FF);
    std::this_thread::sleep_for(1s);
    x.uncover(cover);
    EXPECT_EQ(x.waitForPixel(window, 10, 10, 0xFF0000u, 1s), 0xFF0000u);
    EXPECT_EQ(x.pixel(window, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(x.pixel(window, 300, 200), 0x000000u);

    std::this_thread::sleep_for(1s);
    x.focus(DefaultRootWindow(x.display()));
    EXPECT_TRUE(probe.waitForLine("event 12", 2s)) << "FocusLost";
    std::this_thread::sleep_for(1s);
    x.focus(window);
    EXPECT_TRUE(probe.waitForLine("event 11", 2s)) << "FocusGained";
    x.sendDeleteWindow(window);
    EXPECT_EQ(probe.wait(), 0);
    EXPECT_EQ(probe.standardError(), "");
}

TEST_F(ScreenEndToEnd, IdleScreenCostsAlmostNoProcessorTime) {
    LaunchedProgram probe(ZOPP_SCREEN_PROBE, {"--idle", "7"}, server.display());
    ASSERT_TRUE(probe.waitForLine("ready"));
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const double programBefore = processCpuSeconds(probe.pid());
    const double serverBefore = processCpuSeconds(server.pid());
    constexpr double seconds = 5.0;
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double programShare = (processCpuSeconds(probe.pid()) - programBefore) / seconds * 100.0;
    const double serverShare = (processCpuSeconds(server.pid()) - serverBefore) / seconds * 100.0;
    std::printf("idle: program %.2f%% of a core, X server %.2f%%\n", programShare, serverShare);
    RecordProperty("idle_program_percent", std::to_string(programShare));
    EXPECT_LT(programShare, 1.0);
    EXPECT_LT(serverShare, 1.0);
    EXPECT_EQ(probe.wait(), 0);
}

TEST_F(ScreenEndToEnd, TransferTimesOfOneFiftyAndAllLines) {
    LaunchedProgram probe(ZOPP_SCREEN_PROBE, {"--bench"}, server.display());
    ASSERT_EQ(probe.wait(std::chrono::seconds(60)), 0) << probe.standardError();
    std::vector<double> times;
    for (const std::string& line : probe.linesAfter("ready")) {
        int lines = 0;
        double microseconds = 0;
        if (std::sscanf(line.c_str(), "transfer %d %lf", &lines, &microseconds) == 2) {
            std::printf("transfer of %d lines: %.1f us\n", lines, microseconds);
            times.push_back(microseconds);
        }
    }
    ASSERT_EQ(times.size(), 3u);
    EXPECT_GT(times[0], 0.0);
    EXPECT_LT(times[0], times[2]);
    EXPECT_LT(times[2], 20000.0);  // a whole frame well within two refresh periods
}

}  // namespace
}  // namespace zopp::e2e
