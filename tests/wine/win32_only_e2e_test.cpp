// What only the Windows build has, under Wine on a private Xvfb server: full-screen mode switching in a
// Wine desktop, the console's Ctrl+C and message boxes for output nobody would read. The window cases both
// builds share are in tests/e2e/screen_e2e_test.cpp.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <string>
#include <thread>

#include "harness/desktop/x11_harness.h"
#include "harness/support/test_paths.h"

namespace zopp::e2e {
namespace {

class Win32Window : public ::testing::Test {
  protected:
    XvfbServer server;
};

// Full screen, in a Wine desktop (on the X server's own screen Wine cannot switch modes): while another
// window is active the probe's window is minimised and the display has the desktop's mode; activated
// again, the window is back in the game's mode.
TEST_F(Win32Window, FullScreenGivesTheDisplayBackWhileAnotherWindowIsActive) {
    LaunchedProgram probe(testing::buildPath(ZOPP_SCREEN_PROBE_IN_DESKTOP), {"5"}, server.display());
    ASSERT_TRUE(probe.waitForLine("ready", std::chrono::seconds(30))) << probe.standardError();
    LaunchedProgram other(testing::buildPath(ZOPP_ACTIVATION_SWITCH), {}, server.display());
    EXPECT_EQ(other.wait(std::chrono::seconds(60)), 0);
    EXPECT_EQ(other.standardOutput(), "start 0 640 480\r\naway 1 1024 768\r\nback 0 640 480\r\n");
    EXPECT_TRUE(probe.waitForLine("close"));
}

// Ctrl+C in the console reaches a console program as a control event on a thread of its own; the frame
// turns it into its report, also while the program waits for an event that never comes.
TEST_F(Win32Window, CtrlCInTheConsoleEndsWithReport9) {
    for (const char* mode : {"sleeping", "idle"}) {
        LaunchedProgram probe(testing::buildPath(ZOPP_INTERRUPT_PROBE), {mode}, server.display());
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
    LaunchedProgram test(testing::buildPath(ZOPP_UNSEEN_OUTPUT_TEST), {}, server.display());
    EXPECT_EQ(test.wait(std::chrono::seconds(120)), 0) << test.standardOutput();
    EXPECT_NE(test.standardOutput().find("[  PASSED  ] 1 test"), std::string::npos) << test.standardOutput();
}

}  // namespace
}  // namespace zopp::e2e
