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

TEST(Scoring, FiveOfAKindScoresZoppAndBothPaschButNoFullHouse) {
    GameState game{};
    const std::int32_t* c = evaluate(game, {6, 6, 6, 6, 6});
    EXPECT_EQ(c[Sixes], 30);
    for (int row = Ones; row <= Fives; ++row)
        EXPECT_EQ(c[row], 0) << row;
    EXPECT_EQ(c[ThreeOfAKind], 30);
    EXPECT_EQ(c[FourOfAKind], 30);
    EXPECT_EQ(c[FullHouse], 0);
    EXPECT_EQ(c[SmallStraight], 0);
    EXPECT_EQ(c[LargeStraight], 0);
    EXPECT_EQ(c[FiveOfAKind], 50);
    EXPECT_EQ(c[Chance], 30);
}

TEST(Scoring, FullHouseNeedsExactlyThreeAndTwo) {
    GameState game{};
    const std::int32_t* c = evaluate(game, {2, 3, 2, 3, 3});
    EXPECT_EQ(c[FullHouse], 25);
    EXPECT_EQ(c[ThreeOfAKind], 13);
    EXPECT_EQ(c[FourOfAKind], 0);
    EXPECT_EQ(c[Twos], 4);
    EXPECT_EQ(c[Threes], 9);

    c = evaluate(game, {4, 4, 4, 4, 2});
    EXPECT_EQ(c[ThreeOfAKind], 18);
    EXPECT_EQ(c[FourOfAKind], 18);
    EXPECT_EQ(c[FullHouse], 0);

    c = evaluate(game, {5, 5, 5, 1, 2});
    EXPECT_EQ(c[FullHouse], 0);
}

TEST(Scoring, LargeStraightAlsoCountsAsSmall) {
    GameState game{};
    const std::int32_t* c = evaluate(game, {5, 4, 3, 2, 1});
    EXPECT_EQ(c[SmallStraight], 30);
    EXPECT_EQ(c[LargeStraight], 40);
    EXPECT_EQ(c[Chance], 15);

    c = evaluate(game, {2, 3, 4, 5, 6});
    EXPECT_EQ(c[SmallStraight], 30);
    EXPECT_EQ(c[LargeStraight], 40);
    EXPECT_EQ(c[Chance], 20);
}

TEST(Scoring, SmallStraightToleratesAPairOrAnOutsider) {
    GameState game{};
    const std::int32_t* c = evaluate(game, {1, 2, 3, 4, 4});
    EXPECT_EQ(c[SmallStraight], 30);
    EXPECT_EQ(c[LargeStraight], 0);
    EXPECT_EQ(c[ThreeOfAKind], 0);

    c = evaluate(game, {1, 3, 4, 5, 6});
    EXPECT_EQ(c[SmallStraight], 30);
    EXPECT_EQ(c[LargeStraight], 0);

    c = evaluate(game, {1, 2, 4, 5, 6});
    EXPECT_EQ(c[SmallStraight], 0);
    EXPECT_EQ(c[LargeStraight], 0);
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
