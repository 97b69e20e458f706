// The Win32 back-end's window under Wine on a private Xvfb server: what the screen probe sees of it, and
// what the X server shows.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <signal.h>

#include <cstdio>
#include <functional>
#include <thread>

#include "frame/events.h"
#include "tests/e2e/probe_events.h"
#include "tests/e2e/x11_harness.h"

namespace zopp::e2e {
namespace {

constexpr const char* probeTitle = "ZOPP screen probe";
constexpr int desktopWidth = 1024, desktopHeight = 768;

std::vector<int> typesOf(const std::vector<Event>& events, std::initializer_list<int> wanted) {
    std::vector<int> types;
    for (const Event& e : events) {
        for (int type : wanted) {
            if (e.type == type) types.push_back(e.type);
        }
    }
    return types;
}

class Win32Window : public ::testing::Test {
  protected:
    ::Window startProbe(LaunchedProgram& probe) {
        // Wine's first start in a fresh server is slow.
        if (!probe.waitForLine("ready", std::chrono::seconds(30))) return 0;
        return x.waitForWindow(probeTitle);
    }

    XvfbServer server;
    XSession x{server.display()};
};

// Wine draws no frame of its own without a window manager, so the X window is the client area; the
// window is centred on the whole desktop (not the part that panels leave free, which Wine takes from the
// root window's _NET_WORKAREA) by its outer size, caption included, so the client area sits below the
// middle.
TEST_F(Win32Window, CentredByItsOuterSizeAndInputBecomesEvents) {
    const long workArea[] = {0, 0, desktopWidth - 100, desktopHeight - 68};  // panels right and below
    XChangeProperty(x.display(), DefaultRootWindow(x.display()),
                    XInternAtom(x.display(), "_NET_WORKAREA", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(workArea), 4);
    x.movePointerOnRoot(0, 0);
    LaunchedProgram probe(ZOPP_SCREEN_PROBE, {}, server.display());
    const ::Window window = startProbe(probe);
    ASSERT_NE(window, 0u) << probe.standardError();
    const XSession::Geometry g = x.geometry(window);
    EXPECT_EQ(g.width, 640);
    EXPECT_EQ(g.height, 480);
    EXPECT_EQ(g.x, (desktopWidth - 640) >> 1);
    EXPECT_GT(g.y, (desktopHeight - 480) >> 1);
    EXPECT_LT(g.y, ((desktopHeight - 480) >> 1) + 40);

    ASSERT_TRUE(probe.waitForLine("event 11"));
    // Wine hands the window's parts to the X server one after the other.
    EXPECT_EQ(x.waitForPixel(window, 10, 10, 0xFF0000u), 0xFF0000u);
    EXPECT_EQ(x.waitForPixel(window, 639, 479, 0x0000FFu), 0x0000FFu);
    EXPECT_EQ(x.waitForPixel(window, 0, 0, 0xFFFFFFu), 0xFFFFFFu);
    EXPECT_EQ(x.pixel(window, 110, 59), 0x000000u);

    x.movePointer(window, 100, 100);
    ASSERT_TRUE(probe.waitForLine("event 9 100 100"));
    x.movePointer(window, 103, 104);
    ASSERT_TRUE(probe.waitForLine("event 4 103 104 3 4"));
    x.click(1);
    ASSERT_TRUE(probe.waitForLine("event 6 1"));
    x.press(1);  // within the double-click time and distance
    ASSERT_TRUE(probe.waitForLine("event 7 1"));
    x.movePointer(window, -10, 104);  // captured: motion past the left edge still arrives
    ASSERT_TRUE(probe.waitForLine("event 4 -10 104 -113 0"));
    x.release(1);
    ASSERT_TRUE(probe.waitForLine("event 6 1"));
    x.sendDeleteWindow(window);
    EXPECT_EQ(probe.wait(), 0);
    EXPECT_EQ(probe.standardError(), "");

    const auto events = eventsOf(probe.linesAfter("ready"));
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front().type, FocusGained);
    EXPECT_EQ(typesOf(events, {ButtonDown, ButtonUp, DoubleClick}),
              (std::vector<int>{ButtonDown, ButtonUp, DoubleClick, ButtonUp}));
    EXPECT_EQ(typesOf(events, {CloseRequest}).size(), 1u);
    EXPECT_EQ(events.back().type, CloseRequest);
}

TEST_F(Win32Window, FixedSizeWithIconAndKeysByScanCode) {
    LaunchedProgram probe(ZOPP_SCREEN_PROBE, {}, server.display());
    const ::Window window = startProbe(probe);
    ASSERT_NE(window, 0u) << probe.standardError();
    const XSession::SizeHints hints = x.sizeHints(window);
    EXPECT_EQ(hints.minWidth, 640);
    EXPECT_EQ(hints.maxWidth, 640);
    EXPECT_EQ(hints.minHeight, 480);
    EXPECT_EQ(hints.maxHeight, 480);
    EXPECT_TRUE(x.hasProperty(window, "_NET_WM_ICON"));

    ASSERT_TRUE(probe.waitForLine("event 11"));
    x.movePointer(window, 300, 200);
    x.focus(window);
    x.pressKey("Escape");
    x.releaseKey("Escape");
    x.pressKey("a");
    x.releaseKey("a");
    x.pressKey("F10");  // consumed: it would open the window menu
    x.releaseKey("F10");
    x.pressKey("Alt_L");  // Alt alone and Alt+F4 are consumed; the window stays
    x.pressKey("F4");
    x.releaseKey("F4");
    x.releaseKey("Alt_L");
    x.pressKey("b");
    x.releaseKey("b");
    ASSERT_TRUE(probe.waitForLine("event 2 48"));  // b's release: every key before it has arrived
    x.sendDeleteWindow(window);
    EXPECT_EQ(probe.wait(), 0);

    std::vector<Event> keys;
    for (const Event& e : eventsOf(probe.linesAfter("ready"))) {
        if (e.type == KeyDown || e.type == KeyUp || e.type == KeyRepeat) keys.push_back(e);
    }
    ASSERT_EQ(keys.size(), 6u);
    EXPECT_EQ(keys[0].type, KeyDown);
    EXPECT_EQ(keys[0].a, 0x01);
    EXPECT_EQ(keys[0].b, 27);
    EXPECT_EQ(keys[1].type, KeyUp);
    EXPECT_EQ(keys[2].type, KeyDown);
    EXPECT_EQ(keys[2].a, 0x1E);
    EXPECT_EQ(keys[2].b, 'a');
    EXPECT_EQ(keys[4].a, 0x30);
    EXPECT_EQ(typesOf(eventsOf(probe.linesAfter("ready")), {CloseRequest}).size(), 1u);
    EXPECT_EQ(probe.standardError(), "");
}

// Frameless (exactly centred, there is no caption), shaped (only pixels with a non-zero alpha byte),
// full screen (Xvfb cannot switch modes, so the layer falls back to a window), high priority, alpha
// drawing, OpenGL (Wine's, on the X server's): each shows the frame buffer, again when uncovered, and passes
// the close request on.
class Win32WindowKinds : public Win32Window, public ::testing::WithParamInterface<int> {};

TEST_P(Win32WindowKinds, ShowTheFrameBufferAgainWhenUncoveredAndCloseOnRequest) {
    const int flags = GetParam();
    LaunchedProgram probe(ZOPP_SCREEN_PROBE, {std::to_string(flags)}, server.display());
    const ::Window window = startProbe(probe);
    ASSERT_NE(window, 0u) << probe.standardError();
    const XSession::Geometry g = x.geometry(window);
    EXPECT_EQ(g.width, 640);
    EXPECT_EQ(g.height, 480);
    if (flags & 8) {
        EXPECT_EQ(g.x, (desktopWidth - 640) >> 1);
        EXPECT_EQ(g.y, (desktopHeight - 480) >> 1);
    }
    ASSERT_TRUE(probe.waitForLine("event 11"));
    EXPECT_EQ(x.waitForPixel(window, 225, 125, 0x00FF00u), 0x00FF00u);
    if (flags & 16) {
        EXPECT_TRUE(x.insideShape(window, 225, 125));
        EXPECT_TRUE(eventually([&] { return !x.insideShape(window, 10, 10); }));
    } else {
        EXPECT_EQ(x.waitForPixel(window, 10, 10, 0xFF0000u), 0xFF0000u);  // the parts arrive one by one
    }
    // Uncovered, the window paints its pixels again.
    x.uncover(x.cover(window, 200, 100, 100, 100, 0x0000FFu));
    EXPECT_EQ(x.waitForPixel(window, 225, 125, 0x00FF00u), 0x00FF00u);
    x.sendDeleteWindow(window);
    EXPECT_EQ(probe.wait(), 0);
    EXPECT_EQ(probe.standardError(), "");
}

INSTANTIATE_TEST_SUITE_P(Flags, Win32WindowKinds, ::testing::Values(12, 16, 5, 132, 68, 2, 6));

// Full screen, in a Wine desktop (on the X server's own screen Wine cannot switch modes): while another
// window is active the probe's window is minimised and the display has the desktop's mode; activated
// again, the window is back in the game's mode.
TEST_F(Win32Window, FullScreenGivesTheDisplayBackWhileAnotherWindowIsActive) {
    LaunchedProgram probe(ZOPP_SCREEN_PROBE_IN_DESKTOP, {"5"}, server.display());
    ASSERT_TRUE(probe.waitForLine("ready", std::chrono::seconds(30))) << probe.standardError();
    LaunchedProgram other(ZOPP_ACTIVATION_SWITCH, {}, server.display());
    EXPECT_EQ(other.wait(std::chrono::seconds(60)), 0);
    EXPECT_EQ(other.standardOutput(), "start 0 640 480\r\naway 1 1024 768\r\nback 0 640 480\r\n");
    EXPECT_TRUE(probe.waitForLine("close"));
}

// Ctrl+C in the console reaches a console program as a control event on a thread of its own; the frame
// turns it into its report, also while the program waits for an event that never comes.
TEST_F(Win32Window, CtrlCInTheConsoleEndsWithReport9) {
    for (const char* mode : {"sleeping", "idle"}) {
        LaunchedProgram probe(ZOPP_INTERRUPT_PROBE, {mode}, server.display());
        ASSERT_TRUE(probe.waitForLine("ready", std::chrono::seconds(30))) << mode << probe.standardError();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));  // in its wait by now
        ::kill(probe.pid(), SIGINT);  // Wine delivers it as the console's Ctrl+C
        EXPECT_EQ(probe.wait(), 9) << mode;
        EXPECT_EQ(probe.standardError(),
                  "\r\nAborting due to runtime error 9 (\"interrupted\" signal)\r\n\r\n")
            << mode;
        EXPECT_EQ(probe.standardOutput(), "ready\n") << mode;
    }
}

// A report or the processor message that nobody would read also shows in a message box: checked by a
// Windows program that starts the frame probe as the desktop does, reads each box and confirms it.
TEST_F(Win32Window, WhatNobodyWouldReadAlsoShowsInAMessageBox) {
    LaunchedProgram test(ZOPP_UNSEEN_OUTPUT_TEST, {}, server.display());
    EXPECT_EQ(test.wait(std::chrono::seconds(120)), 0) << test.standardOutput();
    EXPECT_NE(test.standardOutput().find("[  PASSED  ] 1 test"), std::string::npos) << test.standardOutput();
}

}  // namespace
}  // namespace zopp::e2e
