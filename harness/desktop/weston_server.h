// A private Wayland compositor for end-to-end tests: weston's headless back-end with its CPU renderer, on
// a socket in a runtime folder of its own, with the test hooks of weston_test_seat.c (a seat, reading
// what the output shows, closing windows).
//
//   if (!WestonServer::installed()) GTEST_SKIP();
//   WestonServer weston;
//   LaunchedProgram game(path, {}, "", weston.environment());   // no X display: Wayland only
//   weston.capture().pixels ...; weston.closeWindows(); game.wait() == 0
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zopp::e2e {

class WestonServer {
  public:
    // Whether weston and the hooks were found when the tests were built.
    static bool installed();
    // An output of width × height pixels at scale 1; throws std::runtime_error when it does not come up.
    explicit WestonServer(int width = 1024, int height = 768);
    ~WestonServer();
    WestonServer(const WestonServer&) = delete;
    WestonServer& operator=(const WestonServer&) = delete;

    // What a program needs to reach it: NAME=value entries.
    std::vector<std::string> environment() const;
    struct Output {
        int width = 0, height = 0;
        std::vector<std::uint32_t> pixels;  // 0xRRGGBB, row by row; empty when unreadable
    };
    // What the output shows now.
    Output capture();
    // Asks every window to close, as its close button does.
    void closeWindows();

  private:
    std::filesystem::path folder_;
    pid_t pid_ = -1;
};

}  // namespace zopp::e2e
