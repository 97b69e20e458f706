#include <cstring>
#include <functional>

#include <gtest/gtest.h>

#include "frame/random.h"
#include "game/kept_game.h"
#include "game/saved_game.h"
#include "screen/text/text_mode.h"
#include "tests/game/game_screen.h"

namespace zopp::testing {

namespace {

class KeptGame : public GameScreen {
  protected:
    std::vector<std::uint8_t> save() const { return saveGame(game, loop, kPictures); }

    // Wipes the screen and every saved field, then restores the value and draws it.
    void restoreOnBlankScreen(const std::vector<std::uint8_t>& saved) {
        clearScreen(NO_ARGUMENT);
        std::memset(game.scores, 0, sizeof game.scores);
        game.dice = {};
        game.currentPlayer = game.currentRound = game.playerCount = game.pickedUpCount = 0;
        loop.phase = loop.mouseX = loop.mouseY = 0;
        seedRandom(12345, 0);
        ASSERT_EQ(restoreGame(saved, kPictures, game, loop), nullptr);
        drawKeptGame(game, loop);
    }

    // One turn that passes through every phase of a turn: both re-throws, with dice picked up, put back
    // and (in the locked variant) locked; then the first empty row.
    void playTurn(const std::function<void()>& check) {
        if (game.currentRound > 2 && game.currentRound < 13) {
            throwOnceAndStop();
            chooseFirstEmptyRow();
            return;
        }
        for (const auto& step : std::vector<std::function<void()>>{
                 [&] { clickButton(); }, [&] { clickDie(1); }, [&] { clickDie(2); }, [&] { clickDie(2); },
                 [&] { clickButton(); }, [&] { clickDie(3); }, [&] { clickDie(1); }, [&] { clickButton(); },
                 [&] { clickAt(5, 5); }, [&] { chooseFirstEmptyRow(); }}) {
            step();
            check();
        }
    }
    void chooseFirstEmptyRow() {
        for (std::int32_t row = 1; row <= 15; ++row) {
            if (row != UpperSum && row != Bonus && game.scores[game.currentPlayer][row] == -1) {
                clickRow(row, 4);
                return;
            }
        }
    }

    static constexpr std::uint32_t kPictures = 0x5EED;
};

// At every click of the first two and the last round of a game, and on the setup screens before and after it,
// the saved value brings back the same frame and the same state, random generator included, so the game plays
// on as it would have.
TEST_F(KeptGame, EveryPointOfAGameComesBackAsItWas) {
    const auto check = [&] {
        const auto saved = save();
        ASSERT_EQ(saved.size(), kSavedGameSize);
        const auto frame = grab(0, 0, 640, 480);
        restoreOnBlankScreen(saved);
        ASSERT_EQ(grab(0, 0, 640, 480), frame)
            << "phase " << loop.phase << ", round " << game.currentRound << ", player " << game.currentPlayer;
        ASSERT_EQ(save(), saved);
    };
    clickAt(40, 100);  // the locked variant
    check();
    choosePlayers(2);
    check();
    while (loop.phase != GameOver)
        playTurn(check);
    clickButton();  // "Neues Spiel ??"
    check();
    EXPECT_EQ(loop.phase, zopp::Setup);
    EXPECT_EQ(game.ruleVariant, Locked);
}

// The game is rejected as a whole when any field lies outside what a game can reach, or the value is not
// one this version wrote whole for these pictures.
TEST_F(KeptGame, RejectsAnyValueAGameCannotHold) {
    clickAt(40, 100);
    choosePlayers(3);
    for (int turn = 0; turn < 3; ++turn) {
        throwOnceAndStop();
        chooseFirstEmptyRow();
    }
    clickButton();
    clickDie(2);
    clickButton();  // round 2's second throw: dice 1, 3, 4, 5 locked
    ASSERT_EQ(loop.phase, AfterSecondThrow);
    const auto valid = save();

    using Bytes = std::vector<std::uint8_t>;
    const struct {
        const char* name;
        std::function<void(GameState&, MainLoop&)> change;
        std::function<void(Bytes&)> damage;
    } kCases[] = {
        {"phase 0", [](GameState&, MainLoop& l) { l.phase = 0; }, {}},
        {"phase 7", [](GameState&, MainLoop& l) { l.phase = 7; }, {}},
        {"rule variant 2", [](GameState& g, MainLoop&) { g.ruleVariant = 2; }, {}},
        {"no players in a game", [](GameState& g, MainLoop&) { g.playerCount = 0; }, {}},
        {"five players", [](GameState& g, MainLoop&) { g.playerCount = 5; }, {}},
        {"player beyond the count", [](GameState& g, MainLoop&) { g.currentPlayer = 4; }, {}},
        {"12 rounds", [](GameState& g, MainLoop&) { g.roundCount = 12; }, {}},
        {"round 14", [](GameState& g, MainLoop&) { g.currentRound = 14; }, {}},
        {"a row filled ahead", [](GameState& g, MainLoop&) { g.scores[2][Chance] = 20; }, {}},
        {"a score no throw gives", [](GameState& g, MainLoop&) { g.scores[1][Ones] = 6; }, {}},
        {"a sum that disagrees", [](GameState& g, MainLoop&) { ++g.scores[1][GrandTotal]; }, {}},
        {"selected sum row", [](GameState& g, MainLoop&) { g.selectedRow = UpperSum; }, {}},
        {"die 6 clicked", [](GameState& g, MainLoop&) { g.clickedDie = 6; }, {}},
        {"picked-up count off", [](GameState& g, MainLoop&) { g.pickedUpCount = 2; }, {}},
        {"face 7", [](GameState& g, MainLoop&) { g.dice[1].value = 7; }, {}},
        {"state 2", [](GameState& g, MainLoop&) { g.dice[1].state = 2; }, {}},
        {"unthrown die in a throw",
         [](GameState& g, MainLoop&) {
             g.dice[1] = Die{0, NotThrown, 0};
         },
         {}},
        {"locked die picked up", [](GameState& g, MainLoop&) { g.dice[1].state = PickedUp; }, {}},
        {"locks in the free variant", [](GameState& g, MainLoop&) { g.ruleVariant = Free; }, {}},
        {"six faces counted", [](GameState& g, MainLoop&) { g.faceCount[6] = 6; }, {}},
        {"a candidate no throw gives", [](GameState& g, MainLoop&) { g.scores[0][FullHouse] = 24; }, {}},
        {"other pictures", {}, [](Bytes& b) { b = saveGame({}, {}, kPictures + 1); }},
        {"cut short", {}, [](Bytes& b) { b.pop_back(); }},
        {"another version", {}, [](Bytes& b) { b[4] = 2; }},
        {"not a saved game", {}, [](Bytes& b) { b[0] = 'X'; }},
        {"damaged", {}, [](Bytes& b) { b[500] ^= 0x10; }},
        {"empty", {}, [](Bytes& b) { b.clear(); }},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        Bytes value = valid;
        if (c.change) {
            ASSERT_EQ(restoreGame(valid, kPictures, game, loop), nullptr);
            c.change(game, loop);
            value = save();
        }
        if (c.damage) c.damage(value);
        ASSERT_EQ(restoreGame(valid, kPictures, game, loop), nullptr);
        seedRandom(99, 0);
        const auto before = save();
        EXPECT_NE(restoreGame(value, kPictures, game, loop), nullptr);
        EXPECT_EQ(save(), before) << "a rejected value changed the game";
    }
}

}  // namespace

}  // namespace zopp::testing
