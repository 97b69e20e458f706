#include <gtest/gtest.h>
#include <algorithm>
#include <iterator>
#include <tuple>
#include <vector>

#include "board/dice_tray.h"
#include "board/message_button.h"
#include "board/scoreboard.h"
#include "screen/drawing/blit.h"
#include "screen/text/text.h"
#include "tests/game/game_screen.h"

namespace zopp::testing {
namespace {

using Board = GameScreen;

TEST_F(Board, SetupScreenShowsEveryPieceAtItsPlace) {
    EXPECT_EQ(game.playerCount, 0);
    const auto shown = grab(0, 0, 640, 480);
    // The same screen put together piece by piece, in the order it is drawn.
    ASSERT_EQ(putImage(kScreen, 0, 0, game.imgBackground->bytes()), 0);
    const std::tuple<float, float, std::string_view> texts[] = {
        {280, 10, "Regelwerk:"},
        {70, 40, "ZOPP-Style... jeder gehaltene Wuerfel darf wieder benutzt werden"},
        {70, 90, "Original-K-Style... jeder gehaltene Wuerfel bleibt liegen (locked   !)"},
        {140, 320, "Waehle Anzahl der Spieler und los gehts...."}};
    for (const auto& [x, y, text] : texts)
        ASSERT_EQ(drawText(kScreen, x, y, 0, text, kBlack), 0);
    ASSERT_EQ(putImage(kScreen, 597, 92, game.imgLock[1]->bytes()), 0);
    ASSERT_EQ(putImage(kScreen, 30, 40, game.imgCheckmark[1]->bytes()), 0);
    ASSERT_EQ(putImage(kScreen, 30, 90, game.imgCheckmark[0]->bytes()), 0);
    for (std::size_t k = 1; k <= 4; ++k)
        ASSERT_EQ(putImage(kScreen, 30.0f + 100.0f * k, 350, game.imgDieFace[k]->bytes()), 0);
    EXPECT_EQ(grab(0, 0, 640, 480), shown);
}

TEST_F(Board, NewBoardDrawsAllFourColumnsWhateverThePlayerCount) {
    for (auto& column : game.scores)
        std::fill(std::begin(column), std::end(column), 9);
    game.playerCount = 2;
    drawBoard(game);
    EXPECT_EQ(game.currentPlayer, 1);
    EXPECT_EQ(game.currentRound, 1);
    EXPECT_EQ(game.roundCount, 13);
    // The sum rows are left alone: they are rewritten before a column first shows a value.
    for (std::int32_t p = 1; p <= 4; ++p) {
        for (std::int32_t row = 0; row <= GrandTotal; ++row) {
            const bool sum = row == UpperSum || row == Bonus || row == LowerSum || row == GrandTotal;
            EXPECT_EQ(game.scores[p][row], sum ? 9 : -1) << p << ' ' << row;
        }
    }
    EXPECT_EQ(game.scores[0][Ones], 9);

    EXPECT_EQ(rgb(70, 5), kBackground);     // no header above the labels
    EXPECT_EQ(rgb(300, 187), kBackground);  // strip between the blocks
    // Every row's cell in the label column and the four player columns, and nothing beside them.
    for (std::int32_t row = Ones; row <= GrandTotal; ++row) {
        const bool sum = row == UpperSum || row == Bonus || row == LowerSum || row == GrandTotal;
        for (std::int32_t column = 0; column <= 4; ++column)
            EXPECT_EQ(rgb(70 + 100 * column, rowTop(row)), sum ? kSumCell : kCell) << column << ' ' << row;
        EXPECT_EQ(rgb(570, rowTop(row)), kBackground) << row;
    }
    EXPECT_FALSE(anyPixel(470, 25, 570, 370, kBlack));  // absent player's cells are empty
    EXPECT_TRUE(anyPixel(170, 5, 270, 25, kRed));
    EXPECT_FALSE(anyPixel(270, 5, 570, 25, kRed));
    EXPECT_TRUE(anyPixel(470, 5, 570, 25, kBlack));
    EXPECT_TRUE(anyPixel(70, 350, 170, 370, kGreen));  // "Gesamt" label
}

TEST_F(Board, TurnStartsWithBareDiceOpenLocksAndTheThrowButton) {
    game.playerCount = 1;
    game.faceCount = {7, 7, 7, 7, 7, 7, 7};  // the field right behind the five dice
    drawBoard(game);
    EXPECT_EQ(game.faceCount, (std::array<std::int32_t, 7>{7, 7, 7, 7, 7, 7, 7}));
    for (std::int32_t i = 1; i <= 5; ++i) {
        EXPECT_EQ(game.dice[static_cast<std::size_t>(i)].value, 0);
        EXPECT_EQ(game.dice[static_cast<std::size_t>(i)].state, NotThrown);
        EXPECT_EQ(rgb(60 * i + 10, 380), faceColour(0)) << i;
        EXPECT_EQ(rgb(60 * i + 39, 444), kLockOpen) << i;
    }
    EXPECT_EQ(rgb(370, 380), kThrowButton);
    EXPECT_TRUE(anyPixel(370, 397, 570, 413, kBlack));
    // The saved copy holds what lay under the button before it was drawn.
    EXPECT_EQ(game.imgButton[2]->pixel32(0, 0) & 0xFFFFFF, kBackground);
    EXPECT_EQ(game.imgButton[2]->pixel32(199, 49) & 0xFFFFFF, kBackground);
}

TEST_F(Board, CandidatesOnlyInEmptyCellsAndColumnRedrawWipesThem) {
    game.playerCount = 2;
    drawBoard(game);
    game.currentPlayer = 2;
    for (std::int32_t row = Ones; row <= GrandTotal; ++row)
        game.scores[0][row] = 0;
    game.scores[2][Threes] = 9;
    showCandidates(game);
    EXPECT_TRUE(anyPixel(270, rowTop(Ones), 370, rowTop(Ones) + 20, kRed));
    EXPECT_EQ(rgb(270, rowTop(Ones)), kCell);
    EXPECT_FALSE(anyPixel(270, rowTop(Threes), 370, rowTop(Threes) + 20, kRed));
    EXPECT_FALSE(anyPixel(270, rowTop(UpperSum), 370, rowTop(Bonus) + 20, kRed));
    EXPECT_TRUE(anyPixel(270, rowTop(Chance), 370, rowTop(Chance) + 20, kRed));
    EXPECT_FALSE(anyPixel(170, 25, 270, 370, kRed));

    game.scores[2][UpperSum] = 9;
    game.scores[2][Bonus] = 0;
    game.scores[2][LowerSum] = 0;
    game.scores[2][GrandTotal] = 9;
    drawPlayerColumn(game);
    EXPECT_FALSE(anyPixel(270, 25, 370, 370, kRed));
    EXPECT_TRUE(anyPixel(270, rowTop(3), 370, rowTop(3) + 20, kBlack));
    EXPECT_FALSE(anyPixel(270, rowTop(1), 370, rowTop(1) + 20, kBlack));
    EXPECT_TRUE(anyPixel(270, rowTop(8), 370, rowTop(8) + 20, kBlack));  // a 0 bonus is shown
    EXPECT_TRUE(anyPixel(270, rowTop(17), 370, rowTop(17) + 20, kGreen));
}

// The text drawn by a cell or the button equals the same text drawn by hand at the expected offset.
class TextPlacement : public GameScreen {
  protected:
    void expectCellText(std::string_view text, std::int32_t offset) {
        ASSERT_EQ(putImage(kScreen, 0, 0, game.imgBackground->bytes()), 0);
        ASSERT_EQ(putImage(kScreen, 70, 250, game.imgScoreCell[0]->bytes()), 0);
        ASSERT_EQ(drawText(kScreen, 70.0f + offset, 252, 0, text, kRed), 0);
        const auto expected = grab(60, 245, 120, 30);
        ASSERT_EQ(putImage(kScreen, 0, 0, game.imgBackground->bytes()), 0);
        drawCell(game, 70, 250, text, kRed, 0);
        EXPECT_EQ(grab(60, 245, 120, 30), expected) << text;
    }
    void expectButtonText(std::string_view text, std::int32_t offset) {
        ASSERT_EQ(putImage(kScreen, 0, 0, game.imgBackground->bytes()), 0);
        ASSERT_EQ(putImage(kScreen, 370, 380, game.imgButton[1]->bytes()), 0);
        ASSERT_EQ(drawText(kScreen, 370.0f + offset, 397, 0, text, kBlack), 0);
        const auto expected = grab(360, 370, 220, 70);
        ASSERT_EQ(putImage(kScreen, 0, 0, game.imgBackground->bytes()), 0);
        drawMessageButton(game, 370, 380, text, kBlack, 1);
        EXPECT_EQ(grab(360, 370, 220, 70), expected) << text;
    }
};

TEST_F(TextPlacement, CellTextIsCentredTwoPixelsDown) {
    expectCellText("kl. Strasse", 6);
    expectCellText("Spieler 3", 14);
    expectCellText("7", 46);
    expectCellText("25", 42);
    expectCellText("", 50);
}

TEST_F(TextPlacement, ButtonTextIsCentredSeventeenPixelsDown) {
    expectButtonText("ins Scoreboard damit !?", 8);
    expectButtonText("Auswahl im ScoreBoard", 16);
    expectButtonText("1. Wurf Spieler 4", 32);
    expectButtonText("Neues Spiel ??", 44);
}

TEST_F(Board, LyingDieShowsItsFaceAndLockedDieItsClosedMark) {
    game.dice[2] = Die{5, Lying, 1};
    game.dice[3] = Die{4, PickedUp, 0};
    drawDice(game);
    EXPECT_EQ(rgb(130, 380), faceColour(5));
    EXPECT_EQ(rgb(150, 435), kLockClosed);
    EXPECT_EQ(rgb(190, 380), faceColour(0));
    EXPECT_EQ(rgb(210, 435), kLockOpen);
}

TEST_F(Board, StyleTwoRestoresTheSavedBackground) {
    game.playerCount = 1;
    drawBoard(game);
    drawMessageButton(game, 370, 380, "", kBlack, 2);
    EXPECT_EQ(rgb(370, 380), kBackground);
    EXPECT_EQ(rgb(569, 429), kBackground);
}

// A missing image ends the program with its call's report line, also where the game refuses the call
// itself; a style outside the button faces counts as a missing face.
TEST_F(Board, MissingImagesReportTheirCallsLine) {
    EXPECT_EXIT((game.imgScoreCell[1].reset(), drawPlayerHeaders(game)), ::testing::ExitedWithCode(1),
                "runtime error 1 \\(illegal function call\\) at line 635 of game/ZOPP\\.cpp");
    EXPECT_EXIT((game.imgButton[2].reset(), startTurn(game)), ::testing::ExitedWithCode(1),
                "runtime error 1 \\(illegal function call\\) at line 410 of game/ZOPP\\.cpp");
    EXPECT_EXIT(drawMessageButton(game, 370, 380, "x", kBlack, 3), ::testing::ExitedWithCode(1),
                "at line 645 of game/ZOPP\\.cpp");
}

}  // namespace
}  // namespace zopp::testing
