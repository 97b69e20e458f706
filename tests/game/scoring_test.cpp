#include "game/scoring.h"

#include <gtest/gtest.h>
#include <array>

namespace zopp {
namespace {

// The candidate column after evaluating the five faces.
const std::int32_t* evaluate(GameState& game, std::array<std::int32_t, 5> faces) {
    for (std::size_t i = 0; i < 5; ++i)
        game.dice[i + 1] = Die{faces[i], Lying, 0};
    evaluateThrow(game);
    return game.scores[0];
}

TEST(Scoring, CountFacesCountsEveryDieOnce) {
    GameState game{};
    game.faceCount = {9, 9, 9, 9, 9, 9, 9};
    for (std::size_t i = 1; i <= 5; ++i)
        game.dice[i].value = i <= 3 ? 4 : 6;
    countFaces(game);
    EXPECT_EQ(game.faceCount[1], 0);
    EXPECT_EQ(game.faceCount[4], 3);
    EXPECT_EQ(game.faceCount[5], 0);
    EXPECT_EQ(game.faceCount[6], 2);

    // A die not thrown yet shows 0, which no rule counts.
    game.dice[5].value = 0;
    countFaces(game);
    EXPECT_EQ(game.faceCount[6], 1);
    EXPECT_EQ(
        game.faceCount[1] + game.faceCount[2] + game.faceCount[3] + game.faceCount[4] + game.faceCount[5], 3);
}

TEST(Scoring, CountFacesIgnoresAValueNoDieCanShow) {
    GameState game{};
    for (std::size_t i = 1; i <= 5; ++i)
        game.dice[i].value = 2;
    game.dice[3].value = 7;
    game.clickedDie = -1;  // the field right behind faceCount
    countFaces(game);
    EXPECT_EQ(game.faceCount[2], 4);
    EXPECT_EQ(game.clickedDie, -1);
}

// A throw and its candidate for each of the 13 categories: 1er to 6er, then 3er Pasch, 4er Pasch, Full
// House, kl. Strasse, gr. Strasse, ZOPP and Chance.
struct Candidates {
    std::array<std::int32_t, 5> faces;
    std::array<std::int32_t, 13> rows;
};
const Candidates kThrows[] = {
    {{6, 6, 6, 6, 6}, {0, 0, 0, 0, 0, 30, 30, 30, 0, 0, 0, 50, 30}},
    {{1, 1, 1, 1, 1}, {5, 0, 0, 0, 0, 0, 5, 5, 0, 0, 0, 50, 5}},
    {{2, 3, 2, 3, 3}, {0, 4, 9, 0, 0, 0, 13, 0, 25, 0, 0, 0, 13}},
    {{1, 1, 2, 1, 2}, {3, 4, 0, 0, 0, 0, 7, 0, 25, 0, 0, 0, 7}},  // three of face 1
    {{4, 4, 4, 4, 2}, {0, 2, 0, 16, 0, 0, 18, 18, 0, 0, 0, 0, 18}},
    {{5, 5, 5, 1, 2}, {1, 2, 0, 0, 15, 0, 18, 0, 0, 0, 0, 0, 18}},
    {{5, 4, 3, 2, 1}, {1, 2, 3, 4, 5, 0, 0, 0, 0, 30, 40, 0, 15}},
    {{2, 3, 4, 5, 6}, {0, 2, 3, 4, 5, 6, 0, 0, 0, 30, 40, 0, 20}},
    {{1, 2, 3, 4, 4}, {1, 2, 3, 8, 0, 0, 0, 0, 0, 30, 0, 0, 14}},  // a small straight with a pair
    {{1, 3, 4, 5, 6}, {1, 0, 3, 4, 5, 6, 0, 0, 0, 30, 0, 0, 19}},
    {{1, 2, 3, 4, 6}, {1, 2, 3, 4, 0, 6, 0, 0, 0, 30, 0, 0, 16}},  // a gap before the 6: small only
    {{1, 2, 4, 5, 6}, {1, 2, 0, 4, 5, 6, 0, 0, 0, 0, 0, 0, 18}},
    {{1, 2, 3, 6, 6}, {1, 2, 3, 0, 0, 12, 0, 0, 0, 0, 0, 0, 18}},  // three in a row are no straight
    {{2, 3, 4, 6, 6}, {0, 2, 3, 4, 0, 12, 0, 0, 0, 0, 0, 0, 21}},
    {{3, 4, 5, 1, 1}, {2, 0, 3, 4, 5, 0, 0, 0, 0, 0, 0, 0, 14}},
};

TEST(Scoring, EveryCategoryOfEachThrow) {
    const std::int32_t categories[] = {1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14, 15};
    for (const Candidates& expected : kThrows) {
        GameState game{};
        const std::int32_t* c = evaluate(game, expected.faces);
        std::array<std::int32_t, 13> rows{};
        for (std::size_t i = 0; i < rows.size(); ++i)
            rows[i] = c[categories[i]];
        EXPECT_EQ(rows, expected.rows) << ::testing::PrintToString(expected.faces);
    }
}

TEST(Scoring, EvaluateClearsTheSumRowsOfTheCandidates) {
    GameState game{};
    for (int row = 0; row < 18; ++row)
        game.scores[0][row] = 77;
    const std::int32_t* c = evaluate(game, {1, 1, 2, 2, 3});
    for (int row : {UpperSum, Bonus, LowerSum, GrandTotal, FullHouse, FiveOfAKind})
        EXPECT_EQ(c[row], 0) << row;
    EXPECT_EQ(game.scores[0][0], 77);
}

// A fresh sheet for player 2, every category empty.
GameState emptySheet() {
    GameState game{};
    game.currentPlayer = 2;
    for (int row = 0; row < 18; ++row)
        game.scores[2][row] = -1;
    return game;
}

TEST(Scoring, BonusFromSixtyThreeUp) {
    GameState game = emptySheet();
    const std::int32_t upper[] = {3, 6, 9, 12, 15, 18};
    for (int row = 1; row <= 6; ++row)
        game.scores[2][row] = upper[row - 1];
    updateTotals(game);
    EXPECT_EQ(game.scores[2][UpperSum], 63);
    EXPECT_EQ(game.scores[2][Bonus], 35);

    game.scores[2][Ones] = 2;
    updateTotals(game);
    EXPECT_EQ(game.scores[2][UpperSum], 62);
    EXPECT_EQ(game.scores[2][Bonus], 0);
}

TEST(Scoring, BonusComesBeforeAllUpperRowsAreFilled) {
    GameState game = emptySheet();
    game.scores[2][Fives] = 25;
    game.scores[2][Sixes] = 24;
    game.scores[2][Threes] = 15;
    updateTotals(game);
    EXPECT_EQ(game.scores[2][UpperSum], 64);
    EXPECT_EQ(game.scores[2][Bonus], 35);
    EXPECT_EQ(game.scores[2][GrandTotal], 99);
}

TEST(Scoring, EmptyRowsAddNothingAndOtherColumnsStayUntouched) {
    GameState game = emptySheet();
    game.scores[1][UpperSum] = 5;
    game.scores[3][GrandTotal] = 7;
    game.scores[2][Twos] = 0;
    game.scores[2][Chance] = 0;
    game.scores[2][FullHouse] = 25;
    updateTotals(game);
    EXPECT_EQ(game.scores[2][UpperSum], 0);
    EXPECT_EQ(game.scores[2][Bonus], 0);
    EXPECT_EQ(game.scores[2][LowerSum], 25);
    EXPECT_EQ(game.scores[2][GrandTotal], 25);
    EXPECT_EQ(game.scores[2][Twos], 0);
    EXPECT_EQ(game.scores[1][UpperSum], 5);
    EXPECT_EQ(game.scores[3][GrandTotal], 7);
}

TEST(Scoring, BestPossibleSheetTotals375) {
    GameState game = emptySheet();
    for (int face = 1; face <= 6; ++face)
        game.scores[2][face] = 5 * face;
    const std::int32_t lower[] = {30, 30, 25, 30, 40, 50, 30};
    for (int row = ThreeOfAKind; row <= Chance; ++row)
        game.scores[2][row] = lower[row - ThreeOfAKind];
    updateTotals(game);
    EXPECT_EQ(game.scores[2][UpperSum], 105);
    EXPECT_EQ(game.scores[2][Bonus], 35);
    EXPECT_EQ(game.scores[2][LowerSum], 235);
    EXPECT_EQ(game.scores[2][GrandTotal], 375);
}

}  // namespace
}  // namespace zopp
