// The real game on a private Xvfb server, measured as a player feels it: process start to the setup
// screen on the window, a click's arrival to the changed pixels, the wake-ups and CPU of each thread of
// the waiting game, and its resident memory.
//
//   game_bench [--starts N] [--clicks N] [--idle-seconds S] [--game PATH]
//
// Runs in the source folder, where the game finds dat/. --game measures another build of the game (an
// older one, to compare).
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/x11_harness.h"

namespace {

using namespace zopp::e2e;
using Clock = std::chrono::steady_clock;

constexpr const char* kTitle = "ZOPP - V0.1(2008)";
constexpr int kWidth = 640, kHeight = 480;

struct Options {
    int starts = 20;
    int clicks = 200;
    double idleSeconds = 20.0;
    std::string game = ZOPP_GAME;
};

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void pause(double ms) {
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
}

// The raw pixel bytes of a window rectangle; empty while the window cannot be read.
std::vector<char> grab(XSession& x, ::Window window, int left, int top, int width, int height) {
    XImage* image = XGetImage(x.display(), window, left, top, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image) return {};
    std::vector<char> bytes(image->data, image->data + static_cast<std::size_t>(image->bytes_per_line) *
                                                           static_cast<std::size_t>(height));
    XDestroyImage(image);
    return bytes;
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[index];
}

long residentKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

// Polls every quarter millisecond until the window exists and shows `expected` (or, with an empty
// `expected`, anything but black at the bottom left corner). Returns the window, 0 after ten seconds.
::Window waitForScreen(XSession& x, const std::vector<char>& expected) {
    const auto end = Clock::now() + std::chrono::seconds(10);
    ::Window window = 0;
    while (Clock::now() < end) {
        if (!window) window = x.waitForWindow(kTitle, std::chrono::milliseconds(0));
        if (window) {
            if (expected.empty() ? x.pixel(window, 5, 470) != 0 && x.pixel(window, 5, 470) != 0xFFFFFFFFu
                                 : grab(x, window, 0, 0, kWidth, kHeight) == expected)
                return window;
        }
        pause(0.25);
    }
    return 0;
}

std::string gamePath;

std::unique_ptr<LaunchedProgram> launch(const std::string& display) {
    return std::make_unique<LaunchedProgram>(gamePath, std::vector<std::string>{}, display);
}

void close(XSession& x, ::Window window, LaunchedProgram& game) {
    x.sendDeleteWindow(window);
    game.wait();
}

// Start to the complete setup screen: the first run, given time to settle, is the reference picture.
std::vector<double> measureStarts(XvfbServer& server, XSession& x, int starts) {
    std::vector<char> reference;
    {
        auto game = launch(server.display());
        const ::Window window = waitForScreen(x, {});
        if (!window) return {};
        pause(300);
        reference = grab(x, window, 0, 0, kWidth, kHeight);
        close(x, window, *game);
    }
    std::vector<double> times;
    for (int i = 0; i < starts; ++i) {
        const auto began = Clock::now();
        auto game = launch(server.display());
        const ::Window window = waitForScreen(x, reference);
        if (!window) {
            std::fprintf(stderr, "start %d: the setup screen did not appear\n", i);
            return {};
        }
        times.push_back(milliseconds(Clock::now() - began));
        close(x, window, *game);
    }
    return times;
}

// One player, first throw, then die 1 toggled between lying and picked up: each click changes the die's
// pixels. Clicks come at random phases of the refresh cycle.
std::vector<double> measureClicks(XSession& x, ::Window window, int clicks) {
    auto clickAt = [&](int px, int py) {
        x.movePointer(window, px, py);
        pause(50);
        x.click(1);
        pause(100);
    };
    clickAt(155, 375);  // one player
    clickAt(470, 405);  // first throw
    x.movePointer(window, 95, 405);
    pause(50);

    std::mt19937 random(12345);
    std::uniform_real_distribution<double> gap(20.0, 40.0);
    std::vector<double> times;
    for (int i = 0; i < clicks; ++i) {
        const std::vector<char> before = grab(x, window, 70, 380, 50, 50);
        XTestFakeButtonEvent(x.display(), 1, True, CurrentTime);
        XTestFakeButtonEvent(x.display(), 1, False, CurrentTime);
        XSync(x.display(), False);
        const auto clicked = Clock::now();
        const auto end = clicked + std::chrono::seconds(2);
        while (grab(x, window, 70, 380, 50, 50) == before) {
            if (Clock::now() > end) {
                std::fprintf(stderr, "click %d changed nothing\n", i);
                return {};
            }
            pause(0.1);
        }
        times.push_back(milliseconds(Clock::now() - clicked));
        pause(gap(random));
    }
    return times;
}

// Wake-ups and CPU of every thread while nobody touches the window. A thread's wake-ups are its voluntary
// context switches: each time it went to sleep it had to be woken again.
void measureIdle(pid_t pid, double seconds) {
    const auto before = threadCounters(pid);
    const auto began = Clock::now();
    pause(seconds * 1000.0);
    const auto after = threadCounters(pid);
    const double wall = std::chrono::duration<double>(Clock::now() - began).count();
    double wakeUps = 0.0, cpu = 0.0;
    std::string lines;
    for (const auto& [tid, now] : after) {
        const auto then = before.find(tid);
        const ThreadCounters start = then != before.end() ? then->second : ThreadCounters{};
        const double threadWakeUps = static_cast<double>(now.wakeUps - start.wakeUps) / wall;
        const double threadCpu = 100.0 * (now.cpuSeconds - start.cpuSeconds) / wall;
        wakeUps += threadWakeUps;
        cpu += threadCpu;
        char line[160];
        std::snprintf(line, sizeof line, "  thread %-7d %-16s %7.1f wake-ups/s %7.3f %% of a core\n", tid,
                      (tid == pid ? "program" : now.name).c_str(), threadWakeUps, threadCpu);
        lines += line;
    }
    std::printf("idle wake-ups           %6.1f /s, all threads, over %.0f s  (goal < 20)\n", wakeUps, wall);
    std::printf("idle CPU                %6.3f %% of a core  (goal < 0.1)\n%s", cpu, lines.c_str());
}

Options parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--starts") options.starts = std::stoi(argv[i + 1]);
        if (name == "--clicks") options.clicks = std::stoi(argv[i + 1]);
        if (name == "--idle-seconds") options.idleSeconds = std::stod(argv[i + 1]);
        if (name == "--game") options.game = std::filesystem::absolute(argv[i + 1]).string();
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = parse(argc, argv);
    gamePath = options.game;
    std::filesystem::current_path(ZOPP_SOURCE_DIR);
    XvfbServer server;
    XSession x(server.display());

    const std::vector<double> starts = measureStarts(server, x, options.starts);
    if (starts.empty()) return 1;
    std::printf("start to setup screen   median %6.1f ms  p95 %6.1f ms  (%zu starts, goal: median < 40)\n",
                percentile(starts, 0.5), percentile(starts, 0.95), starts.size());

    auto game = launch(server.display());
    const ::Window window = waitForScreen(x, {});
    if (!window) return 1;
    pause(300);
    const long setupKb = residentKilobytes(game->pid());

    const std::vector<double> clicks = measureClicks(x, window, options.clicks);
    if (clicks.empty()) return 1;
    std::printf("click to changed pixels median %6.1f ms  p95 %6.1f ms  (%zu clicks, goal: < 8 / < 13)\n",
                percentile(clicks, 0.5), percentile(clicks, 0.95), clicks.size());

    // The pointer rests over the window; nothing happens but the game waiting for a click. A second's rest
    // first: the window settles after the last click.
    pause(1000);
    measureIdle(game->pid(), options.idleSeconds);

    const long playingKb = residentKilobytes(game->pid());
    std::printf("resident memory         %6.1f MB at setup, %.1f MB after playing  (goal < 16)\n",
                static_cast<double>(setupKb) / 1024.0, static_cast<double>(playingKb) / 1024.0);
    close(x, window, *game);
    return 0;
}
