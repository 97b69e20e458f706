#include <gtest/gtest.h>
#include <algorithm>
#include <iterator>
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

TEST_F(Board, SetupScreenShowsRulesLockSignAndPlayerDice) {
    EXPECT_EQ(game.playerCount, 0);
    EXPECT_EQ(rgb(0, 0), kBackground);
    EXPECT_EQ(rgb(30, 40), kBoxTicked);
    EXPECT_EQ(rgb(49, 109), kBoxEmpty);
    EXPECT_EQ(rgb(597, 92), kLockClosed);
    EXPECT_EQ(rgb(606, 101), kLockClosed);
    for (std::int32_t k = 0; k < 4; ++k) {
        EXPECT_EQ(rgb(130 + 100 * k, 350), faceColour(k + 1)) << k;
        EXPECT_EQ(rgb(179 + 100 * k, 399), faceColour(k + 1)) << k;
    }
    EXPECT_TRUE(anyPixel(280, 10, 360, 26, kBlack));   // "Regelwerk:"
    EXPECT_TRUE(anyPixel(600, 90, 630, 106, kBlack));  // the "!" after the lock sign
    EXPECT_TRUE(anyPixel(140, 320, 484, 336, kBlack));
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
    EXPECT_EQ(rgb(70, 25), kCell);
    EXPECT_EQ(rgb(70, 145), kSumCell);
    EXPECT_EQ(rgb(569, 184), kSumCell);  // "Bonus" of player 4
    EXPECT_EQ(rgb(470, 190), kCell);
    EXPECT_EQ(rgb(569, 369), kSumCell);                 // "Gesamt" of player 4
    EXPECT_FALSE(anyPixel(470, 25, 570, 370, kBlack));  // absent player's cells are empty
    EXPECT_TRUE(anyPixel(170, 5, 270, 25, kRed));
    EXPECT_FALSE(anyPixel(270, 5, 570, 25, kRed));
    EXPECT_TRUE(anyPixel(470, 5, 570, 25, kBlack));
    EXPECT_TRUE(anyPixel(70, 350, 170, 370, kGreen));  // "Gesamt" label
}

TEST_F(Board, TurnStartsWithBareDiceOpenLocksAndTheThrowButton) {
    game.playerCount = 1;
    drawBoard(game);
    for (std::int32_t i = 1; i <= 5; ++i) {
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
    std::vector<std::uint32_t> grab(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) const {
        std::vector<std::uint32_t> pixels;
        for (std::int32_t j = 0; j < h; ++j) {
            for (std::int32_t i = 0; i < w; ++i)
                pixels.push_back(rgb(x + i, y + j));
        }
        return pixels;
    }
    void expectCellText(std::string_view text, std::int32_t offset) {
        ASSERT_EQ(putImage(SCREEN, 0, 0, game.imgBackground->bytes()), 0);
        ASSERT_EQ(putImage(SCREEN, 70, 250, game.imgScoreCell[0]->bytes()), 0);
        ASSERT_EQ(drawText(SCREEN, 70.0f + offset, 252, 0, text, kRed), 0);
        const auto expected = grab(60, 245, 120, 30);
        ASSERT_EQ(putImage(SCREEN, 0, 0, game.imgBackground->bytes()), 0);
        drawCell(game, 70, 250, text, kRed, 0);
        EXPECT_EQ(grab(60, 245, 120, 30), expected) << text;
    }
    void expectButtonText(std::string_view text, std::int32_t offset) {
        ASSERT_EQ(putImage(SCREEN, 0, 0, game.imgBackground->bytes()), 0);
        ASSERT_EQ(putImage(SCREEN, 370, 380, game.imgButton[1]->bytes()), 0);
        ASSERT_EQ(drawText(SCREEN, 370.0f + offset, 397, 0, text, kBlack), 0);
        const auto expected = grab(360, 370, 220, 70);
        ASSERT_EQ(putImage(SCREEN, 0, 0, game.imgBackground->bytes()), 0);
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

TEST_F(Board, MissingCellImageReportsItsLine) {
    game.imgScoreCell[1].reset();
    EXPECT_EXIT(drawPlayerHeaders(game), ::testing::ExitedWithCode(1), "at line 635 of game/ZOPP\\.cpp");
}

TEST_F(Board, StyleOutsideTheButtonFacesFailsInsteadOfReadingPastThem) {
    EXPECT_EXIT(drawMessageButton(game, 370, 380, "x", kBlack, 3), ::testing::ExitedWithCode(1),
                "at line 645 of game/ZOPP\\.cpp");
}

}  // namespace
}  // namespace zopp::testing
