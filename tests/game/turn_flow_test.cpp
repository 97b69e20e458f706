#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "frame/runtime.h"
#include "frame/timing.h"
#include "game/event_loop.h"
#include "tests/game/game_screen.h"

namespace zopp::testing {
namespace {

using Flow = GameScreen;

TEST_F(Flow, ClickBeforeAnyMotionIsAtTheOriginAndHitsNothing) {
    event(ButtonUp, LeftButton, 360);
    EXPECT_EQ(loop.phase, zopp::Setup);
    EXPECT_EQ(game.playerCount, 0);
    EXPECT_EQ(rgb(130, 350), faceColour(1));
}

TEST_F(Flow, ClickOnNothingBetweenThrowsRedrawsMessageAndDiceOnly) {
    choosePlayers(1);
    clickButton();
    const Die before = game.dice[1];
    clickAt(0, 0);
    EXPECT_EQ(loop.phase, AfterFirstThrow);
    EXPECT_EQ(game.clickedDie, -1);
    EXPECT_EQ(game.dice[1].value, before.value);
    EXPECT_EQ(game.dice[1].state, Lying);
    EXPECT_TRUE(buttonShows("ins Scoreboard damit !?", 1));
}

TEST_F(Flow, OnlyPointerMovesChangeThePosition) {
    move(140, 360);
    event(PointerEnter, 35, 45);
    event(PointerLeave, 35, 95);
    click();
    EXPECT_EQ(game.ruleVariant, Free);
    EXPECT_EQ(game.playerCount, 1);
    EXPECT_EQ(loop.phase, BeforeFirstThrow);
}

TEST_F(Flow, PressesOtherButtonsKeysAndWheelChangeNothing) {
    move(140, 360);
    event(ButtonDown, LeftButton);
    event(ButtonUp, RightButton);
    event(ButtonUp, MiddleButton);
    event(KeyDown, 28);
    event(Wheel, 1);
    event(DoubleClick, LeftButton);
    EXPECT_EQ(loop.phase, zopp::Setup);
    EXPECT_EQ(game.playerCount, 0);
}

TEST_F(Flow, RuleBoxesChangeOnlyTheChoice) {
    clickAt(49, 109);
    EXPECT_EQ(game.ruleVariant, Locked);
    EXPECT_EQ(rgb(30, 40), kBoxEmpty);
    EXPECT_EQ(rgb(30, 90), kBoxTicked);
    clickAt(49, 109);
    EXPECT_EQ(game.ruleVariant, Locked);
    clickAt(50, 60);  // right and bottom edges are outside
    EXPECT_EQ(game.ruleVariant, Locked);
    clickAt(30, 40);
    EXPECT_EQ(game.ruleVariant, Free);
    EXPECT_EQ(rgb(30, 40), kBoxTicked);
    EXPECT_EQ(loop.phase, zopp::Setup);
    EXPECT_EQ(game.playerCount, 0);
}

TEST_F(Flow, DragOutOfTheWindowReleasesAtThePositionOutside) {
    move(-5, 360);
    click();
    move(700, 500);
    click();
    EXPECT_EQ(loop.phase, zopp::Setup);
}

TEST_F(Flow, OnlyTheButtonStartsTheFirstThrow) {
    choosePlayers(2);
    clickDie(1);
    clickRow(1);
    EXPECT_EQ(loop.phase, BeforeFirstThrow);
    EXPECT_EQ(game.dice[1].state, NotThrown);
    clickButton();
    EXPECT_EQ(loop.phase, AfterFirstThrow);
    for (std::size_t i = 1; i <= 5; ++i) {
        EXPECT_EQ(game.dice[i].state, Lying);
        EXPECT_GE(game.dice[i].value, 1);
        EXPECT_LE(game.dice[i].value, 6);
        EXPECT_EQ(rgb(60 * static_cast<std::int32_t>(i) + 10, 380), faceColour(game.dice[i].value));
    }
    EXPECT_TRUE(buttonShows("ins Scoreboard damit !?", 1));
}

TEST_F(Flow, DoubleClickOnADiePicksItUpAndPutsItBack) {
    choosePlayers(1);
    clickButton();
    const std::int32_t value = game.dice[3].value;
    move(60 * 3 + 35, 405);
    firstPressAndRelease();
    EXPECT_EQ(game.dice[3].state, PickedUp);
    EXPECT_EQ(game.pickedUpCount, 1);
    EXPECT_EQ(rgb(190, 380), faceColour(0));
    EXPECT_TRUE(buttonShows("2. Wurf Spieler 1", 0));
    secondPressAndRelease();
    EXPECT_EQ(game.dice[3].state, Lying);
    EXPECT_EQ(game.dice[3].value, value);
    EXPECT_EQ(game.pickedUpCount, 0);
    EXPECT_EQ(rgb(190, 380), faceColour(value));
    EXPECT_TRUE(buttonShows("ins Scoreboard damit !?", 1));
}

TEST_F(Flow, DoubleClickOnTheButtonThrowsAndGivesUpTheRest) {
    choosePlayers(1);
    move(470, 405);
    firstPressAndRelease();
    secondPressAndRelease();
    EXPECT_EQ(loop.phase, ChooseRow);
    EXPECT_TRUE(buttonShows("Auswahl im ScoreBoard", 2));
    EXPECT_TRUE(anyPixel(170, rowTop(15), 270, rowTop(15) + 20, kRed));  // "Chance" candidate
    // The button does not react while a row must be chosen.
    click();
    EXPECT_EQ(loop.phase, ChooseRow);
}

TEST_F(Flow, ThirdThrowEntersRowChoiceInTheSameClick) {
    choosePlayers(1);
    clickButton();
    clickDie(1);
    clickButton();
    EXPECT_EQ(loop.phase, AfterSecondThrow);
    EXPECT_EQ(game.pickedUpCount, 0);
    clickDie(2);
    EXPECT_TRUE(buttonShows("3. Wurf Spieler 1", 0));
    clickButton();
    EXPECT_EQ(loop.phase, ChooseRow);
    EXPECT_TRUE(buttonShows("Auswahl im ScoreBoard", 2));
    for (std::size_t i = 1; i <= 5; ++i)
        EXPECT_EQ(game.dice[i].state, Lying);
}

TEST_F(Flow, LockedVariantKeepsDiceLyingThroughARethrow) {
    clickAt(35, 95);
    choosePlayers(1);
    clickButton();
    EXPECT_EQ(rgb(90, 435), kLockOpen);
    clickDie(1);
    clickDie(2);
    clickButton();
    for (std::size_t i = 1; i <= 5; ++i)
        EXPECT_EQ(game.dice[i].locked, i >= 3 ? 1 : 0) << i;
    EXPECT_EQ(rgb(90, 435), kLockOpen);
    EXPECT_EQ(rgb(210, 435), kLockClosed);
    const std::int32_t kept = game.dice[4].value;
    clickDie(4);
    EXPECT_EQ(game.dice[4].state, Lying);
    EXPECT_EQ(game.pickedUpCount, 0);
    EXPECT_EQ(rgb(250, 380), faceColour(kept));
    clickDie(2);
    EXPECT_EQ(game.dice[2].state, PickedUp);
    // The next turn opens every lock again.
    clickButton();
    clickRow(15);
    EXPECT_EQ(rgb(210, 435), kLockOpen);
    EXPECT_EQ(game.dice[3].locked, 0);
}

TEST_F(Flow, FreeVariantLetsEveryLyingDieBePickedUpAgain) {
    choosePlayers(1);
    clickButton();
    clickDie(1);
    clickButton();
    EXPECT_EQ(rgb(210, 435), kLockOpen);
    clickDie(3);
    EXPECT_EQ(game.dice[3].state, PickedUp);
}

TEST_F(Flow, RowChoiceStoresTheCandidateAndPassesTheTurn) {
    choosePlayers(2);
    clickButton();
    setFaces(2, 3, 2, 3, 3);
    clickButton();
    EXPECT_EQ(game.scores[0][FullHouse], 25);
    clickRow(FullHouse, 3);  // another player's column fills the current player's row
    EXPECT_EQ(game.scores[1][FullHouse], 25);
    EXPECT_EQ(game.scores[3][FullHouse], -1);
    EXPECT_EQ(game.scores[1][LowerSum], 25);
    EXPECT_EQ(game.scores[1][GrandTotal], 25);
    EXPECT_EQ(game.scores[1][UpperSum], 0);
    EXPECT_TRUE(anyPixel(170, rowTop(GrandTotal), 270, rowTop(GrandTotal) + 20, kGreen));
    EXPECT_FALSE(anyPixel(170, 25, 270, 370, kRed));
    EXPECT_EQ(game.currentPlayer, 2);
    EXPECT_EQ(game.currentRound, 1);
    EXPECT_EQ(loop.phase, BeforeFirstThrow);
    EXPECT_TRUE(anyPixel(270, 5, 370, 25, kRed));
    EXPECT_FALSE(anyPixel(170, 5, 270, 25, kRed));
    EXPECT_TRUE(buttonShows("1. Wurf Spieler 2", 0));
}

TEST_F(Flow, FilledSumAndLabelRowsDoNotReact) {
    choosePlayers(1);
    clickButton();
    setFaces(1, 1, 1, 1, 1);
    clickButton();
    clickRow(Twos);  // no 2s: a filled 0
    EXPECT_EQ(game.scores[1][Twos], 0);
    EXPECT_TRUE(anyPixel(170, rowTop(Twos), 270, rowTop(Twos) + 20, kBlack));
    throwOnceAndStop();
    for (std::int32_t row : {Twos, UpperSum, Bonus, LowerSum, GrandTotal})
        clickRow(row);
    clickAt(169, 30);   // label column
    clickAt(300, 145);  // just below "6er"
    clickAt(300, 189);  // strip above "3er Pasch"
    clickAt(570, 30);   // right of the board
    clickButton();
    EXPECT_EQ(loop.phase, ChooseRow);
    EXPECT_EQ(game.currentRound, 2);
    EXPECT_EQ(game.selectedRow, 0);
}

TEST_F(Flow, RowEdgesFollowTheTwentyPixelGrid) {
    choosePlayers(1);
    const std::int32_t edges[][2] = {{44, 1}, {45, 2}, {144, 6}, {190, 9}, {209, 9}, {329, 15}};
    for (const auto& [y, row] : edges) {
        throwOnceAndStop();
        clickAt(170, y);
        EXPECT_EQ(game.selectedRow, row) << y;
        EXPECT_NE(game.scores[1][row], -1) << y;
        if (row == 9) game.scores[1][9] = -1;  // lets the next edge hit the same row again
    }
}

TEST_F(Flow, GamesEndAfterThirteenRoundsAndReturnToSetup) {
    clickAt(35, 95);  // Locked
    choosePlayers(1);
    const std::int32_t rows[] = {1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14, 15};
    for (std::int32_t turn = 0; turn < 13; ++turn) {
        EXPECT_EQ(game.currentRound, turn + 1);
        throwOnceAndStop();
        clickRow(rows[turn]);
    }
    EXPECT_EQ(loop.phase, GameOver);
    EXPECT_EQ(game.currentRound, 13);
    const std::int32_t* sheet = game.scores[1];
    EXPECT_EQ(sheet[17], sheet[7] + sheet[8] + sheet[16]);
    EXPECT_EQ(rgb(0, 433), kBlack);
    EXPECT_EQ(rgb(639, 479), kBlack);
    EXPECT_EQ(rgb(90, 435), kBlack);  // the strip covers the lock marks
    EXPECT_TRUE(anyPixel(85, 448, 525, 464, kYellow));
    EXPECT_FALSE(anyPixel(0, 433, 85, 480, kYellow));
    EXPECT_TRUE(buttonShows("Neues Spiel ??", 0));

    clickRow(1);
    clickDie(1);
    EXPECT_EQ(loop.phase, GameOver);
    clickButton();
    EXPECT_EQ(loop.phase, zopp::Setup);
    EXPECT_EQ(game.playerCount, 0);
    EXPECT_EQ(game.ruleVariant, Locked);
    EXPECT_EQ(rgb(30, 90), kBoxTicked);
    EXPECT_EQ(rgb(30, 40), kBoxEmpty);

    choosePlayers(4);
    for (std::int32_t p = 1; p <= 4; ++p) {
        for (std::int32_t row : rows)
            EXPECT_EQ(game.scores[p][row], -1);
    }
    for (std::int32_t round = 1; round <= 13; ++round) {
        for (std::int32_t player = 1; player <= 4; ++player) {
            ASSERT_EQ(loop.phase, BeforeFirstThrow);
            EXPECT_EQ(game.currentPlayer, player);
            EXPECT_EQ(game.currentRound, round);
            throwOnceAndStop();
            clickRow(rows[round - 1], 5 - player);
        }
    }
    EXPECT_EQ(loop.phase, GameOver);
    for (std::int32_t p = 1; p <= 4; ++p) {
        for (std::int32_t row : rows)
            EXPECT_GE(game.scores[p][row], 0) << p << ' ' << row;
        EXPECT_EQ(game.scores[p][17], game.scores[p][7] + game.scores[p][8] + game.scores[p][16]);
    }
    EXPECT_TRUE(anyPixel(85, 448, 525, 464, kYellow));
}

// The loop itself, fed by its own sleeps: each posts the next step of a script (an empty step posts
// nothing) and, once it has run out, ends the program with code 9; an exit hook tells what the loop did.
std::vector<ScreenEvent> script;
int sleeps = 0;
const MainLoop* looping = nullptr;

TEST_F(Flow, EventLoopTakesOneEventPerPassAndSleepsAfterEveryPoll) {
    choosePlayers(1);
    script = {{PointerMove, 470, 405, 0, 0}, {ButtonUp, LeftButton, 0, 0, 0}, {}, {CloseRequest, 0, 0, 0, 0}};
    looping = &loop;
    const auto feed = [](void*) {
        if (sleeps == static_cast<int>(script.size())) endProgram(9);
        const ScreenEvent& next = script[static_cast<std::size_t>(sleeps++)];
        if (next.type != 0) postEvent(next);
    };
    const auto tell = [] {
        std::fprintf(stderr, "phase %d after %d sleeps.", looping->phase, sleeps);
        std::fflush(stderr);  // the frame ends the process without flushing it
    };
    // One throw; the empty poll after it does not repeat the click.
    EXPECT_EXIT(
        {
            setBeforeSleepHook(feed, nullptr);
            registerExitHook(tell);
            runEventLoop(game, loop);
        },
        ::testing::ExitedWithCode(0), "phase 3 after 4 sleeps\\.");
}

TEST_F(Flow, CloseRequestEndsTheProgramInAnyPhase) {
    choosePlayers(1);
    clickButton();
    EXPECT_EXIT(event(CloseRequest), ::testing::ExitedWithCode(0), "^$");
}

}  // namespace
}  // namespace zopp::testing
