// The real game in a window on a private Xvfb server, played with the pointer and read back from the
// window: the dice from their faces, the scoreboard from its digits, checked against the scoring rules.
// Whole games are also checked pixel for pixel at every step against the Linux build played without a
// window with the same clicks. The same tests drive the Windows build under Wine.
#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "harness/desktop/weston_server.h"
#include "harness/desktop/x11_harness.h"
#include "harness/support/test_paths.h"
#include "tests/e2e/reference_games.h"
#include "tests/e2e/screen_reading.h"

namespace zopp::e2e {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTitle = "ZOPP - V0.1(2008)";
// How long a start may take: under Wine (the same test drives the Windows build) a first start in a
// fresh server takes seconds.
constexpr auto kStartTimeout = std::chrono::seconds(30);
constexpr std::uint32_t kBlack = 0x000000, kRed = 0xEE0000, kGreen = 0x008800, kYellow = 0xFFDD00;

// Score table rows: 1-6 the upper categories, 7 "oben", 8 "Bonus", 9-15 the lower categories,
// 16 "unten", 17 "Gesamt".
constexpr std::array<int, 13> kCategories = {1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14, 15};
constexpr int kOben = 7, kBonus = 8, kUnten = 16, kGesamt = 17;
using Rows = std::array<int, 18>;
using Dice = std::array<int, 5>;

// What a throw scores in every category, worked out from the rules independently of the game.
Rows referenceCandidates(const Dice& dice) {
    std::array<int, 7> count{};
    int sum = 0;
    for (int face : dice) {
        ++count[static_cast<std::size_t>(face)];
        sum += face;
    }
    // Whether every face from..to shows: on at least one die, or on exactly one.
    const auto faces = [&](int from, int to, bool exactlyOnce) {
        for (int f = from; f <= to; ++f) {
            const int c = count[static_cast<std::size_t>(f)];
            if (exactlyOnce ? c != 1 : c < 1) return false;
        }
        return true;
    };
    const auto ofAKind = [&](int n) {
        return std::any_of(count.begin() + 1, count.end(), [n](int c) { return c >= n; });
    };
    const bool three = std::find(count.begin() + 1, count.end(), 3) != count.end();
    const bool two = std::find(count.begin() + 1, count.end(), 2) != count.end();

    Rows rows{};
    for (int face = 1; face <= 6; ++face)
        rows[static_cast<std::size_t>(face)] = face * count[static_cast<std::size_t>(face)];
    rows[9] = ofAKind(3) ? sum : 0;
    rows[10] = ofAKind(4) ? sum : 0;
    rows[11] = three && two ? 25 : 0;
    rows[12] = faces(1, 4, false) || faces(2, 5, false) || faces(3, 6, false) ? 30 : 0;
    rows[13] = faces(1, 5, true) || faces(2, 6, true) ? 40 : 0;
    rows[14] = ofAKind(5) ? 50 : 0;
    rows[15] = sum;
    return rows;
}

// The player's sheet as the rules keep it: -1 for an empty category, the sums over the filled ones.
struct Sheet {
    Rows rows;
    Sheet() { rows.fill(-1); }

    bool empty(int row) const { return rows[static_cast<std::size_t>(row)] < 0; }
    bool anyFilled() const {
        return std::any_of(kCategories.begin(), kCategories.end(), [&](int r) { return !empty(r); });
    }
    int sumOf(int first, int last) const {
        int sum = 0;
        for (int r = first; r <= last; ++r)
            sum += std::max(rows[static_cast<std::size_t>(r)], 0);
        return sum;
    }
    int total(int row) const {
        const int oben = sumOf(1, 6), bonus = oben >= 63 ? 35 : 0, unten = sumOf(9, 15);
        return row == kOben ? oben : row == kBonus ? bonus : row == kUnten ? unten : oben + bonus + unten;
    }
    // What player 1's column must show: values in black, the total in green, and while a row is
    // chosen the candidates in red in the empty cells. The sums appear with the first entry.
    std::array<std::string, 18> column(const Rows* candidates) const {
        std::array<std::string, 18> texts;
        for (int r : kCategories) {
            const auto i = static_cast<std::size_t>(r);
            if (!empty(r))
                texts[i] = cellText(rows[i], kBlack);
            else if (candidates)
                texts[i] = cellText((*candidates)[i], kRed);
        }
        if (anyFilled()) {
            for (int r : {kOben, kBonus, kUnten, kGesamt})
                texts[static_cast<std::size_t>(r)] = cellText(total(r), r == kGesamt ? kGreen : kBlack);
        }
        return texts;
    }
};

int rowTop(int row) {
    return row <= 8 ? 20 * row + 5 : 20 * row + 10;
}
int dieLeft(int die) {
    return 60 * die + 10;  // die 1..5
}
constexpr int kTrayTop = 380, kColumnLeft = 170, kButtonX = 470, kButtonY = 405;

// Dice (1..5) to pick up before the next throw: keep the most frequent face (the higher one on a tie).
std::vector<int> chaseOfAKind(const Dice& dice) {
    std::array<int, 7> count{};
    for (int face : dice)
        ++count[static_cast<std::size_t>(face)];
    int best = 6;
    for (int face = 6; face >= 1; --face) {
        if (count[static_cast<std::size_t>(face)] > count[static_cast<std::size_t>(best)]) best = face;
    }
    std::vector<int> pickUp;
    for (int i = 0; i < 5; ++i) {
        if (dice[static_cast<std::size_t>(i)] != best) pickUp.push_back(i + 1);
    }
    return pickUp;
}

// Dice to pick up for a straight: every repeat of a face already kept.
std::vector<int> chaseStraight(const Dice& dice) {
    std::vector<int> pickUp;
    for (int i = 0; i < 5; ++i) {
        if (std::find(dice.begin(), dice.begin() + i, dice[static_cast<std::size_t>(i)]) != dice.begin() + i)
            pickUp.push_back(i + 1);
    }
    return pickUp;
}

// Runs the game with the given working folder, which is where it looks for dat\.
class GameEndToEnd : public ::testing::Test {
  protected:
    void TearDown() override {
        if (!previous_.empty()) fs::current_path(previous_);
        // A game that ended early (a sanitizer's report, a crash) tells why on its standard error.
        if (HasFailure() && game_) {
            game_->wait(std::chrono::seconds(1));
            std::printf("the game's standard error:\n%s\n", game_->standardError().c_str());
        }
    }
    // The fixture keeps the game until the test has ended.
    LaunchedProgram* start(const fs::path& folder, const std::string& display,
                           std::vector<std::string> environment = {}) {
        previous_ = fs::current_path();
        fs::current_path(folder);
        game_ = std::make_unique<LaunchedProgram>(testing::buildPath(ZOPP_GAME), std::vector<std::string>{},
                                                  display, std::move(environment));
        fs::current_path(previous_);
        return game_.get();
    }

    XvfbServer server_;
    XSession x_{server_.display()};
    fs::path previous_;
    std::unique_ptr<LaunchedProgram> game_;
};

// Plays one-player games through the window and keeps the sheet the rules say the board must show.
class OnePlayerGame : public GameEndToEnd {
  protected:
    void click(int x, int y) {
        x_.movePointer(window_, x, y);
        x_.click(1);
        if (references_) references_->click(x, y);
    }
    // Grabs the window until it satisfies the condition and, in a game with references, shows their
    // frame; the last grab stays in screen_. Every click's effect shows within a few refreshes of 10 ms;
    // the generous limit is for a loaded sanitizer build.
    bool waitFor(const std::function<bool()>& condition,
                 std::chrono::seconds limit = std::chrono::seconds(10)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (true) {
            screen_ = shown();
            if (condition() && (!references_ || references_->shownBy(screen_))) return true;
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    // The game's window as it shows now: read from X, or under Wayland, which keeps a window's place to the
    // compositor, found in what the output shows by the setup screen's player-count die 4.
    Picture shown() {
        if (!weston_) return grab(x_, window_);
        const WestonServer::Output output = weston_->capture();
        const Picture desktop{output.width, output.height, output.pixels};
        for (int y = 350; y + 130 <= desktop.height; ++y) {
            for (int x = 430; x + 210 <= desktop.width; ++x) {
                if (desktop.shows(x, y, pictures_.dieFaces[4]))
                    return desktop.crop(x - 430, y - 350, 640, 480);
            }
        }
        return {};
    }

    // The message button: a text centred on button face 0 or 1, or style 2, the bare background.
    bool buttonShows(const std::string& text, int style) const {
        const Picture face = style == 0   ? pictures_.button0
                             : style == 1 ? pictures_.button1
                                          : pictures_.background.crop(370, 380, 200, 50);
        const int left = (200 - 8 * static_cast<int>(text.size())) / 2;
        return screen_.shows(370, 380, font_.write(face, left, 17, text, kBlack));
    }
    Dice dice() const {
        Dice faces;
        for (int i = 0; i < 5; ++i)
            faces[static_cast<std::size_t>(i)] = readDie(screen_, dieLeft(i + 1), kTrayTop, pictures_);
        return faces;
    }
    // Every lock mark under its die shows whether the die is locked.
    bool locksShown() const {
        for (int i = 1; i <= 5; ++i) {
            const bool closed = locked_[static_cast<std::size_t>(i - 1)];
            if (!screen_.shows(60 * i + 30, 435, closed ? pictures_.lockClosed : pictures_.lockOpen))
                return false;
        }
        return true;
    }
    // Every die shows a face 1-6.
    bool thrown() const {
        if (!locksShown()) return false;
        const Dice faces = dice();
        return std::all_of(faces.begin(), faces.end(), [](int f) { return f >= 1 && f <= 6; });
    }
    std::array<std::string, 18> column() const {
        std::array<std::string, 18> texts;
        for (int r = 1; r <= 17; ++r) {
            const bool sum = r == kOben || r == kBonus || r == kUnten || r == kGesamt;
            texts[static_cast<std::size_t>(r)] = readCell(
                screen_, kColumnLeft, rowTop(r), sum ? pictures_.sumCell : pictures_.plainCell, font_);
        }
        return texts;
    }
    static std::string describe(const std::array<std::string, 18>& texts) {
        std::string text;
        for (int r = 1; r <= 17; ++r)
            text += " " + std::to_string(r) + ":[" + texts[static_cast<std::size_t>(r)] + "]";
        return text;
    }
    std::string seen() {
        std::string text = "seen dice";
        for (int face : dice())
            text += " " + std::to_string(face);
        text += "; seen locks ";
        for (int i = 1; i <= 5; ++i) {
            const bool open = screen_.shows(60 * i + 30, 435, pictures_.lockOpen);
            text += open ? 'o' : screen_.shows(60 * i + 30, 435, pictures_.lockClosed) ? 'c' : '?';
        }
        text += "; seen column" + describe(column());
        return references_ ? text + "; " + references_->difference(screen_) : text;
    }

    bool newTurnShown() const {
        const Dice faces = dice();
        return buttonShows("1. Wurf Spieler 1", 0) &&
               std::all_of(faces.begin(), faces.end(), [](int f) { return f == 0; }) &&
               screen_.shows(kColumnLeft, 5, font_.write(pictures_.sumCell, 14, 2, "Spieler 1", kRed));
    }

    // Picks up the given dice and throws them again; the others must keep their faces, and with locked
    // dice they are locked for the rest of the turn.
    void rethrow(const std::vector<int>& pickUp, int nextThrow) {
        Dice expected = current_;
        // A locked die does not react: clicked, it must still show its face below.
        const auto locked = std::find(locked_.begin(), locked_.end(), true);
        if (locked != locked_.end())
            click(dieLeft(static_cast<int>(locked - locked_.begin()) + 1) + 25, kTrayTop + 25);
        for (int die : pickUp) {
            click(dieLeft(die) + 25, kTrayTop + 25);
            expected[static_cast<std::size_t>(die - 1)] = 0;  // a picked-up die shows the blank face
        }
        ASSERT_TRUE(waitFor([&] {
            return dice() == expected && buttonShows(std::to_string(nextThrow) + ". Wurf Spieler 1", 0);
        })) << seen();
        for (int i = 0; i < 5 && lockedRules_; ++i)
            locked_[static_cast<std::size_t>(i)] = expected[static_cast<std::size_t>(i)] != 0;
        click(kButtonX, kButtonY);
        const bool last = nextThrow == 3;
        ASSERT_TRUE(waitFor([&] {
            return thrown() && (last ? buttonShows("Auswahl im ScoreBoard", 2)
                                     : buttonShows("ins Scoreboard damit !?", 1));
        })) << seen();
        const Dice now = dice();
        for (int i = 0; i < 5; ++i) {
            if (expected[static_cast<std::size_t>(i)] == 0) continue;
            EXPECT_EQ(now[static_cast<std::size_t>(i)], current_[static_cast<std::size_t>(i)])
                << "die " << i + 1 << " was lying";
        }
        current_ = now;
    }

    // One turn: up to three throws by the turn's strategy, then a row, each step checked on the screen.
    void playTurn(int turn) {
        locked_ = {};
        click(kButtonX, kButtonY);
        ASSERT_TRUE(waitFor([&] { return thrown() && buttonShows("ins Scoreboard damit !?", 1); })) << seen();
        current_ = dice();

        if (turn % 4 == 3) {  // a die picked up and put back shows its face again
            click(dieLeft(1) + 25, kTrayTop + 25);
            ASSERT_TRUE(waitFor([&] { return dice()[0] == 0 && buttonShows("2. Wurf Spieler 1", 0); }))
                << seen();
            click(dieLeft(1) + 25, kTrayTop + 25);
            ASSERT_TRUE(waitFor([&] {
                return dice() == current_ && buttonShows("ins Scoreboard damit !?", 1);
            })) << seen();
        }
        // The turns take turns: stop after the first throw; one re-throw chasing a kind; two chasing a
        // kind; two chasing a straight. Locked dice are never picked up.
        int throws = 1;
        for (; throws < 3 && turn % 4 != 0; ++throws) {
            std::vector<int> pickUp = turn % 4 == 3 ? chaseStraight(current_) : chaseOfAKind(current_);
            std::erase_if(pickUp, [&](int die) { return locked_[static_cast<std::size_t>(die - 1)]; });
            if (pickUp.empty() || (turn % 4 == 1 && throws == 2)) break;
            rethrow(pickUp, throws + 1);
            if (HasFatalFailure()) return;
        }
        if (throws < 3) {  // the button with no die picked up gives up the remaining throws
            click(kButtonX, kButtonY);
            ASSERT_TRUE(waitFor([&] { return buttonShows("Auswahl im ScoreBoard", 2); })) << seen();
        }

        const Rows candidates = referenceCandidates(current_);
        ASSERT_TRUE(waitFor([&] { return column() == sheet_.column(&candidates); }))
            << "dice " << ::testing::PrintToString(current_) << ", expected column"
            << describe(sheet_.column(&candidates)) << "; " << seen();
        EXPECT_EQ(dice(), current_);

        // Neither a sum row nor a filled row takes the entry.
        click(120 + 100 * (turn % 4), rowTop(kOben) + 5);
        const auto filled =
            std::find_if(kCategories.begin(), kCategories.end(), [&](int r) { return !sheet_.empty(r); });
        if (filled != kCategories.end()) click(kColumnLeft + 50, rowTop(*filled) + 10);

        const int row = chooseRow(turn, candidates);
        // Any column at the row's height fills the current player's row.
        click(kColumnLeft + 100 * (turn % 4) + 30, rowTop(row) + (turn * 7) % 20);
        sheet_.rows[static_cast<std::size_t>(row)] = candidates[static_cast<std::size_t>(row)];

        const bool lastTurn = turn == 12;
        ASSERT_TRUE(waitFor([&] {
            return column() == sheet_.column(nullptr) &&
                   (lastTurn ? buttonShows("Neues Spiel ??", 0) : newTurnShown());
        })) << "after choosing row "
            << row << ", expected column" << describe(sheet_.column(nullptr)) << "; " << seen();
    }

    // Mostly the empty row with the best candidate (the first on a tie), every third turn the first
    // empty row, so that zeros get entered too.
    int chooseRow(int turn, const Rows& candidates) const {
        int chosen = 0;
        for (int r : kCategories) {
            if (!sheet_.empty(r)) continue;
            if (chosen == 0) chosen = r;
            if (turn % 3 != 2 &&
                candidates[static_cast<std::size_t>(r)] > candidates[static_cast<std::size_t>(chosen)])
                chosen = r;
        }
        return chosen;
    }

    const BoardPictures pictures_{fs::path(testing::sourcePath("dat"))};
    const Font font_{fs::path(testing::sourcePath("tools/fontdata/cp437-8x16.bin"))};
    // A whole game from the setup screen through the game over back to the setup screen, then the
    // close button.
    void playWholeGame() {
        const double started = gameTimerSeconds();
        auto game = start(testing::sourcePath(), server_.display());
        window_ = x_.waitForWindow(kTitle, kStartTimeout);
        ASSERT_NE(window_, 0u) << game->standardError();
        const XSession::Geometry g = x_.geometry(window_);
        EXPECT_EQ(g.width, 640);
        EXPECT_EQ(g.height, 480);

        // The setup screen is complete when its last picture, the player-count die 4, is shown; the default
        // rule is ticked.
        const auto setupShown = [&] { return screen_.shows(430, 350, pictures_.dieFaces[4]); };
        ASSERT_TRUE(waitFor(setupShown));
        references_.emplace(testing::buildPath(ZOPP_REFERENCE_PLAYER), testing::sourcePath(), started,
                            gameTimerSeconds());
        ASSERT_TRUE(waitFor(setupShown)) << seen();
        EXPECT_TRUE(screen_.shows(30, 40, pictures_.checkmark1));
        EXPECT_TRUE(screen_.shows(30, 90, pictures_.checkmark0));
        if (lockedRules_) {
            click(40, 100);
            ASSERT_TRUE(waitFor([&] {
                return screen_.shows(30, 40, pictures_.checkmark0) &&
                       screen_.shows(30, 90, pictures_.checkmark1);
            }));
        }
        const Picture setupScreen = screen_;

        click(155, 375);  // one player
        ASSERT_TRUE(waitFor([&] { return newTurnShown() && column() == sheet_.column(nullptr); })) << seen();

        for (int turn = 0; turn < 13; ++turn) {
            SCOPED_TRACE("turn " + std::to_string(turn + 1));
            playTurn(turn);
            if (HasFatalFailure()) return;
        }
        for (int r : kCategories)
            EXPECT_FALSE(sheet_.empty(r)) << "row " << r;

        // A black strip over the bottom with the winner text in yellow.
        Picture strip{640, 47, std::vector<std::uint32_t>(640 * 47, kBlack)};
        strip = font_.write(strip, 85, 448 - 433, "Wer auch immer gewonnen hat, Herzlichen Glueckwunsch!!!",
                            kYellow);
        EXPECT_TRUE(screen_.shows(0, 433, strip));

        // "Neues Spiel ??" leads back to the same setup screen, the previous rule still ticked.
        click(kButtonX, kButtonY);
        EXPECT_TRUE(waitFor([&] { return screen_.shows(0, 0, setupScreen); }));
        EXPECT_TRUE(screen_.shows(30, lockedRules_ ? 90 : 40, pictures_.checkmark1));

        x_.sendDeleteWindow(window_);
        EXPECT_EQ(game->wait(), 0);
        EXPECT_EQ(game->standardError(), "");
    }

    bool lockedRules_ = false;            // the rule variant chosen on the setup screen
    std::optional<WestonServer> weston_;  // the compositor the game shows in, where it is no X server
    std::optional<ReferenceGames> references_;
    ::Window window_ = 0;
    Picture screen_;
    Dice current_{};
    std::array<bool, 5> locked_{};
    Sheet sheet_;
};

TEST_F(OnePlayerGame, WithTheDefaultRulesThirteenTurnsScoreByTheRules) {
    playWholeGame();
}

TEST_F(OnePlayerGame, WithLockedDiceThirteenTurnsScoreByTheRulesAndTheChoiceStays) {
    lockedRules_ = true;
    playWholeGame();
}

// The close button in the middle of a turn, while the game waits for a click, ends it at once.
TEST_F(OnePlayerGame, TheCloseButtonDuringATurnEndsTheGame) {
    auto game = start(testing::sourcePath(), server_.display());
    window_ = x_.waitForWindow(kTitle, kStartTimeout);
    ASSERT_NE(window_, 0u) << game->standardError();
    ASSERT_TRUE(waitFor([&] { return screen_.shows(430, 350, pictures_.dieFaces[4]); }));
    click(155, 375);  // one player
    ASSERT_TRUE(waitFor([&] { return newTurnShown(); })) << seen();
    click(kButtonX, kButtonY);
    ASSERT_TRUE(waitFor([&] { return thrown() && buttonShows("ins Scoreboard damit !?", 1); })) << seen();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // nothing happens: the game idles

    x_.sendDeleteWindow(window_);
    EXPECT_EQ(game->wait(), 0);
    EXPECT_EQ(game->standardError(), "");
}

#ifdef ZOPP_UNDER_WINE
constexpr const char* kDisplaySystems[] = {"X11"};  // Wine draws through X
#else
constexpr const char* kDisplaySystems[] = {"X11", "Wayland"};
#endif

class UntouchedGame : public OnePlayerGame, public ::testing::WithParamInterface<const char*> {};

// Nobody touches the window, on each display system: the setup screen shows exactly as without a window,
// the game waits for input without waking, on every thread, and closing the window ends it cleanly.
TEST_P(UntouchedGame, ShowsTheSetupScreenWaitsWithoutWakingAndCloses) {
    using namespace std::chrono_literals;
    const bool wayland = std::string(GetParam()) == "Wayland";
    if (wayland && !WestonServer::installed()) GTEST_SKIP() << "weston or libweston-10-dev is not installed";
    const double started = gameTimerSeconds();
    if (wayland) weston_.emplace();
    auto game = wayland ? start(testing::sourcePath(), "", weston_->environment())
                        : start(testing::sourcePath(), server_.display());
    if (!wayland) {
        window_ = x_.waitForWindow(kTitle, kStartTimeout);
        ASSERT_NE(window_, 0u) << game->standardError();
    }
    const auto setupShown = [&] { return screen_.shows(430, 350, pictures_.dieFaces[4]); };
    ASSERT_TRUE(waitFor(setupShown, kStartTimeout)) << game->standardError();
    references_.emplace(testing::buildPath(ZOPP_REFERENCE_PLAYER), testing::sourcePath(), started,
                        gameTimerSeconds());
    ASSERT_TRUE(waitFor(setupShown)) << seen();
    // The pointer rests beside the window: while it is over a window, Wine watches for it leaving with a
    // timer of its own, whose wake-ups grow with the machine's load. Only the game's own work is counted.
    if (!wayland) x_.movePointerOnRoot(0, 0);
    std::this_thread::sleep_for(1s);  // the window settles after its start and the leave

    // This process runs the game's sanitizer runtime, if any, and a thread of its own starts that runtime's
    // housekeeping as the game's threads do: its threads other than this one, idle meanwhile, wake as often
    // as the housekeeping does, which the game is allowed too.
    std::promise<void> measured;
    std::thread idle([done = measured.get_future()] { done.wait(); });
    const pid_t self = ::getpid();
    const auto wakeUps = [](pid_t pid, pid_t except, auto&& sampled) {
        long long count = 0;
        for (const auto& [thread, counters] : threadCounters(pid)) {
            const auto then = sampled.find(thread);
            if (thread != except)
                count += counters.wakeUps - (then != sampled.end() ? then->second.wakeUps : 0);
        }
        return count;
    };
    const auto gameBefore = threadCounters(game->pid());
    const auto ownBefore = threadCounters(self);
    constexpr auto seconds = 4s;
    std::this_thread::sleep_for(seconds);
    const double perSecond = static_cast<double>(wakeUps(game->pid(), 0, gameBefore)) / seconds.count();
    const double runtimePerSecond = static_cast<double>(wakeUps(self, self, ownBefore)) / seconds.count();
    std::printf("idle game: %.1f wake-ups per second over all threads (the runtime's own: %.1f)\n", perSecond,
                runtimePerSecond);
    measured.set_value();
    idle.join();
    EXPECT_LT(perSecond, runtimePerSecond + 2.0);

    if (wayland) {
        weston_->closeWindows();
    } else {
        x_.sendDeleteWindow(window_);
    }
    EXPECT_EQ(game->wait(), 0);
    EXPECT_EQ(game->standardError().find("Sanitizer"), std::string::npos) << game->standardError();
}

INSTANTIATE_TEST_SUITE_P(DisplaySystems, UntouchedGame, ::testing::ValuesIn(kDisplaySystems),
                         [](const auto& info) { return std::string(info.param); });

TEST_F(GameEndToEnd, AMissingPictureEndsWithItsReport) {
    const fs::path folder = fs::temp_directory_path() / ("zopp-e2e-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    fs::copy(fs::path(testing::sourcePath("dat")), folder / "dat");
    fs::remove(folder / "dat" / "3.bmp");
    auto game = start(folder, server_.display());
    EXPECT_EQ(game->wait(kStartTimeout), 2);
    EXPECT_EQ(game->standardError(),
              "\r\nAborting due to runtime error 2 (file not found) at line 129 of game/ZOPP.cpp()\r\n\r\n");
    fs::remove_all(folder);
}

// No display named, or one that does not answer: no window can open, and the game must not run without one.
TEST_F(GameEndToEnd, WithoutADisplayTheScreenReportIsLine109) {
    for (const char* display : {"", ":9999"}) {
        auto game = start(testing::sourcePath(), display);
        EXPECT_EQ(game->wait(kStartTimeout), 1) << display;
        EXPECT_EQ(game->standardError(),
                  "\r\nAborting due to runtime error 1 (illegal function call) at line 109 of "
                  "game/ZOPP.cpp()\r\n\r\n")
            << display;
    }
}

}  // namespace
}  // namespace zopp::e2e
