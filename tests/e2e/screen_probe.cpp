// A small program for the end-to-end tests: opens the screen, draws known pixels straight into the frame
// buffer and reports on standard output what it sees.
//   screen_probe [flags]       prints "ready", then one "event type a b c d" line per event; exits 0 on
//                              the close request ("close"), 3 when none came within 30 s. The only
//                              mode in a page, where it prints to the page's console output.
//   screen_probe --idle s      prints "ready", then leaves the screen alone for s seconds
//   screen_probe --bench [flags]  prints "transfer <lines> <microseconds>" for 1, 50 and all lines (medians)
//   screen_probe --return      draws and returns from main with the screen still open
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "frame/events.h"
#include "frame/timing.h"
#include "screen/backend/backend.h"
#include "screen/state/screen_state.h"
#include "screen/window/backend_choice.h"
#include "screen/window/screen.h"
#include "tests/e2e/probe_pattern.h"

namespace {

using namespace zopp;

// The platform's back-end with a clock around each frame's transfer, from the frame's first call of its
// presenter to the frame's finish. Everything else goes straight through.
std::atomic<std::int64_t> lastTransferNanoseconds{0};

class TimedBackend final : public Backend, private Presenter {
  public:
    explicit TimedBackend(std::unique_ptr<Backend> inner) : inner_(std::move(inner)) {}
    LoopHost loopHost() const override { return inner_->loopHost(); }
    void takeStep(const LoopStep& step) override { inner_->takeStep(step); }
    bool createWindow(ScreenState& screen, std::int32_t rate, std::string_view title,
                      EventTranslator& translator) override {
        return inner_->createWindow(screen, rate, title, translator);
    }
    void destroyWindow() override { inner_->destroyWindow(); }
    Presenter& presenter() override { return *this; }
    void framePresented(std::int32_t k) override { inner_->framePresented(k); }
    void resizeClient(std::int32_t width, std::int32_t height) override {
        inner_->resizeClient(width, height);
    }
    void pumpInput(EventTranslator& translator) override { inner_->pumpInput(translator); }
    bool waitForInput(std::optional<std::chrono::nanoseconds> timeout) override {
        return inner_->waitForInput(timeout);
    }
    void wake() override { inner_->wake(); }
    void setTitle(std::string_view title) override { inner_->setTitle(title); }
    void toggleFullScreen() override { inner_->toggleFullScreen(); }
    void raisePriority(bool raised) override { inner_->raisePriority(raised); }
    BeepSoundHook soundOutput() const override { return inner_->soundOutput(); }
    void capturePointer() override { inner_->capturePointer(); }
    void releasePointer() override { inner_->releasePointer(); }
    bool holdsPointer() const override { return inner_->holdsPointer(); }
    void trackLeave(bool enabled) override { inner_->trackLeave(enabled); }
    bool pointerOverClient() const override { return inner_->pointerOverClient(); }

  private:
    PixelLayout pixelLayout() override {
        began_ = std::chrono::steady_clock::now();
        return inner_->presenter().pixelLayout();
    }
    void transferRows(const ConvertedLines& rows, std::int32_t k) override {
        inner_->presenter().transferRows(rows, k);
    }
    void finish() override {
        inner_->presenter().finish();
        lastTransferNanoseconds = (std::chrono::steady_clock::now() - began_).count();
    }

    std::unique_ptr<Backend> inner_;
    std::chrono::steady_clock::time_point began_;
};

template <std::size_t I>
std::unique_ptr<Backend> makeTimedBackend(std::int32_t flags) {
    const std::span<const BackendFactory> platform = platformBackendFactories();
    if (I >= platform.size()) return nullptr;
    std::unique_ptr<Backend> inner = platform[I](flags);
    return inner ? std::make_unique<TimedBackend>(std::move(inner)) : nullptr;
}

constexpr BackendFactory kTimedBackends[] = {makeTimedBackend<0>, makeTimedBackend<1>, makeTimedBackend<2>};

void fill(std::int32_t x0, std::int32_t y0, std::int32_t w, std::int32_t h, std::uint32_t colour) {
    ScreenLock lock;
    ScreenState* screen = currentScreen();
    for (std::int32_t y = y0; y < y0 + h; ++y) {
        for (std::int32_t x = x0; x < x0 + w; ++x) {
            std::memcpy(screen->workPixels() + y * screen->pitch + x * 4, &colour, 4);
        }
    }
    markDirty(*screen, y0, y0 + h - 1);
}

void drawTestPattern() {
    for (const e2e::PatternBox& box : e2e::kProbePattern)
        fill(box.x, box.y, box.width, box.height, box.colour);
}

int runEvents() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    ScreenEvent event{};
    while (std::chrono::steady_clock::now() < end) {
        while (pollEvent(&event)) {
            std::printf("event %d %d %d %d %d\n", event.type, event.x, event.y, event.dx, event.dy);
            if (event.type == CloseRequest) {
                std::printf("close\n");
                std::fflush(stdout);
                closeScreen();
                return 0;
            }
        }
        std::fflush(stdout);
        sleepMs(2);  // in a page, the sleep is where the browser hands over its input
    }
    return 3;
}

// The back-end's time for one transfer of `lines` changed lines.
double transferMicroseconds(std::int32_t lines, std::uint32_t colour) {
    fill(0, 0, 640, lines, colour);
    while (true) {
        std::this_thread::sleep_for(std::chrono::microseconds(500));
        ScreenLock lock;
        if (!currentScreen()->dirty[0]) return static_cast<double>(lastTransferNanoseconds.load()) / 1000.0;
    }
}

// The median transfer time of each size, the sizes taken in turn round after round, so that a moment the
// machine was busy with something else weighs on every size alike and on no median.
std::vector<double> medianTransferMicroseconds(const std::vector<std::int32_t>& sizes) {
    constexpr int rounds = 201;
    std::vector<std::vector<double>> samples(sizes.size());
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < sizes.size(); ++i)
            samples[i].push_back(
                transferMicroseconds(sizes[i], 0x00010203u * static_cast<std::uint32_t>(round + 1)));
    }
    std::vector<double> medians;
    for (std::vector<double>& times : samples) {
        std::nth_element(times.begin(), times.begin() + rounds / 2, times.end());
        medians.push_back(times[rounds / 2]);
    }
    return medians;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    // The open flags: the only argument, or the one after --bench.
    const char* flagArgument = mode == "--bench" && argc > 2    ? argv[2]
                               : mode.empty() || mode[0] == '-' ? "4"
                                                                : argv[1];
    const std::int32_t flags = std::atoi(flagArgument);
    setWindowTitle("ZOPP screen probe");
    if (mode == "--bench") setBackendFactories(kTimedBackends);
    if (openScreen(640, 480, 32, 0, flags, 0) != 0) {
        std::fprintf(stderr, "openScreen failed\n");
        return 1;
    }
    drawTestPattern();
    std::printf("ready\n");
    std::fflush(stdout);
    if (mode == "--return") return 0;  // the layer's exit handler closes the screen
    if (mode == "--idle") {
        std::this_thread::sleep_for(std::chrono::duration<double>(argc > 2 ? std::atof(argv[2]) : 5.0));
        std::printf("done\n");
        closeScreen();
        return 0;
    }
    if (mode == "--bench") {
        const std::vector<std::int32_t> sizes = {1, 50, 480};
        const std::vector<double> medians = medianTransferMicroseconds(sizes);
        for (std::size_t i = 0; i < sizes.size(); ++i)
            std::printf("transfer %d %.1f\n", sizes[i], medians[i]);
        closeScreen();
        return 0;
    }
    return runEvents();
}
