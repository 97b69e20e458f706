// The Linux build of the game without a window (reference_player), fed the clicks a test gives the game in
// a window: after every click the window must show exactly the frame of the reference. The dice follow
// the whole seconds of the game's timer when its setup screen came up, which the test only brackets, so
// one reference runs per second the game may have taken; a reference whose frame the window does not show
// drops out.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "harness/desktop/x11_harness.h"
#include "tests/e2e/screen_reading.h"

namespace zopp::e2e {

// The timer the game reads, in seconds: the raw monotonic clock, which the Windows build's performance
// counter also reads under Wine.
double gameTimerSeconds();

// FNV-1a over the red, green and blue bytes of every pixel, row by row, as 8 hex digits.
std::string frameDigest(const Picture& screen);

class ReferenceGames {
  public:
    // One reference per whole second from `earliest` to `latest` (gameTimerSeconds readings taken before
    // the game started and after its setup screen was seen) and one more on either side, each started in
    // `folder`.
    ReferenceGames(const std::string& player, const std::filesystem::path& folder, double earliest,
                   double latest);

    // Every reference still in the match takes the click (the pointer moves to x, y, the left button goes
    // up there).
    void click(int x, int y);
    // Whether `screen` is the frame of a reference still in the match; if so, those showing another frame
    // drop out.
    bool shownBy(const Picture& screen);
    // Where `screen` first differs from the frame of the first reference still in the match, for a report.
    std::string difference(const Picture& screen);

  private:
    struct Reference {
        std::unique_ptr<LaunchedProgram> program;
        long seed = 0;
        std::string digest;  // of the frame it shows now; empty once it has failed to answer
    };
    static std::string answer(Reference& reference);

    std::vector<Reference> references_;
};

}  // namespace zopp::e2e
