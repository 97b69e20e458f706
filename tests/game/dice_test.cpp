#include "game/dice.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "frame/random.h"

namespace zopp {
namespace {

// A turn as startTurn leaves it: every die value 0, NotThrown, unlocked.
GameState newTurn(RuleVariant variant) {
    GameState game{};
    game.ruleVariant = variant;
    for (std::int32_t i = 1; i <= 5; ++i)
        game.dice[i] = {0, NotThrown, 0};
    return game;
}

std::array<std::int32_t, 6> values(const GameState& game) {
    std::array<std::int32_t, 6> result{};
    for (std::int32_t i = 1; i <= 5; ++i)
        result[i] = game.dice[i].value;
    return result;
}

// The turn flow's throw: lock first in the Locked variant (never before the first throw), then recount.
void nextThrow(GameState& game, bool first) {
    if (!first && game.ruleVariant == Locked) lockLyingDice(game);
    throwDice(game);
    countPickedUp(game);
}

TEST(Dice, FirstThrowThrowsAllFiveAndLocksNothing) {
    for (const RuleVariant variant : {Free, Locked}) {
        GameState game = newTurn(variant);
        nextThrow(game, true);
        for (std::int32_t i = 1; i <= 5; ++i) {
            EXPECT_EQ(game.dice[i].state, Lying);
            EXPECT_GE(game.dice[i].value, 1);
            EXPECT_LE(game.dice[i].value, 6);
            EXPECT_EQ(game.dice[i].locked, 0) << "variant " << variant << ", die " << i;
        }
        EXPECT_EQ(game.pickedUpCount, 0);
    }
}

TEST(Dice, ThrowDrawsOneNumberPerThrownDieInDieOrder) {
    // Seed 2024 draws 0.937, 0.023, 0.655, 0.527 and 0.493 first: faces 6, 1, 4, 4 and 3.
    seedRandom(2024.0, kDefaultRandomAlgorithm);
    GameState game = newTurn(Free);
    throwDice(game);
    EXPECT_EQ(values(game), (std::array<std::int32_t, 6>{0, 6, 1, 4, 4, 3}));

    seedRandom(2024.0, kDefaultRandomAlgorithm);
    togglePickUp(game, 2);
    togglePickUp(game, 5);
    throwDice(game);
    EXPECT_EQ(values(game), (std::array<std::int32_t, 6>{0, 6, 6, 4, 4, 1}))
        << "die 2 takes the first number, die 5 the second";
}

TEST(Dice, PickingUpAndPuttingBackKeepsValueAndCount) {
    GameState game = newTurn(Free);
    nextThrow(game, true);
    const std::array<std::int32_t, 6> thrown = values(game);
    togglePickUp(game, 4);
    EXPECT_EQ(game.dice[4].state, PickedUp);
    EXPECT_EQ(game.pickedUpCount, 1);
    togglePickUp(game, 2);
    EXPECT_EQ(game.pickedUpCount, 2);
    togglePickUp(game, 4);
    EXPECT_EQ(game.dice[4].state, Lying);
    EXPECT_EQ(game.pickedUpCount, 1);
    togglePickUp(game, 2);
    EXPECT_EQ(game.pickedUpCount, 0);
    EXPECT_EQ(values(game), thrown);
}

TEST(Dice, ThrowKeepsLyingDiceAndRethrowsPickedUpOnes) {
    seedRandom(77.0, kDefaultRandomAlgorithm);
    GameState game = newTurn(Free);
    nextThrow(game, true);
    const std::array<std::int32_t, 6> thrown = values(game);
    for (const std::int32_t die : {1, 2, 3, 4, 5})
        togglePickUp(game, die);
    EXPECT_EQ(game.pickedUpCount, 5);
    togglePickUp(game, 3);
    nextThrow(game, false);
    EXPECT_EQ(game.dice[3].value, thrown[3]);
    EXPECT_EQ(game.pickedUpCount, 0);
    for (std::int32_t i = 1; i <= 5; ++i)
        EXPECT_EQ(game.dice[i].state, Lying);
}

TEST(Dice, LockedVariantKeepsDiceLyingThroughTheSecondThrow) {
    GameState game = newTurn(Locked);
    nextThrow(game, true);
    togglePickUp(game, 2);
    togglePickUp(game, 4);
    nextThrow(game, false);
    for (const std::int32_t kept : {1, 3, 5})
        EXPECT_EQ(game.dice[kept].locked, 1) << kept;
    for (const std::int32_t rethrown : {2, 4})
        EXPECT_EQ(game.dice[rethrown].locked, 0) << rethrown;

    togglePickUp(game, 1);
    EXPECT_EQ(game.dice[1].state, Lying) << "a locked die does not react";
    EXPECT_EQ(game.pickedUpCount, 0);
    togglePickUp(game, 4);
    EXPECT_EQ(game.dice[4].state, PickedUp);
    EXPECT_EQ(game.pickedUpCount, 1);

    const std::int32_t keptValue = game.dice[1].value;
    nextThrow(game, false);
    EXPECT_EQ(game.dice[1].value, keptValue);
    for (std::int32_t i = 1; i <= 5; ++i)
        EXPECT_EQ(game.dice[i].locked, i == 4 ? 0 : 1) << i;
}

TEST(Dice, FreeVariantLetsADieKeptThroughTheSecondThrowBePickedUp) {
    GameState game = newTurn(Free);
    nextThrow(game, true);
    togglePickUp(game, 2);
    nextThrow(game, false);
    togglePickUp(game, 1);
    EXPECT_EQ(game.dice[1].state, PickedUp);
    EXPECT_EQ(game.dice[1].locked, 0);
    EXPECT_EQ(game.pickedUpCount, 1);
}

TEST(Dice, LockingTouchesOnlyLyingDice) {
    GameState game = newTurn(Locked);
    nextThrow(game, true);
    togglePickUp(game, 5);
    lockLyingDice(game);
    EXPECT_EQ(game.dice[5].locked, 0);
    game = newTurn(Locked);
    lockLyingDice(game);
    for (std::int32_t i = 1; i <= 5; ++i)
        EXPECT_EQ(game.dice[i].locked, 0) << "NotThrown dice stay unlocked";
}

TEST(Dice, ToggleIgnoresNumbersOutsideOneToFive) {
    GameState game = newTurn(Free);
    nextThrow(game, true);
    game.dice[0] = {3, Lying, 0};
    for (const std::int32_t outside : {0, 6, -1, 1000})
        togglePickUp(game, outside);
    EXPECT_EQ(game.dice[0].state, Lying);
    EXPECT_EQ(game.pickedUpCount, 0);
}

TEST(RollDie, RandomNumberMapsToFacesRoundingDown) {
    const double justBelowOne = 1.0 - std::ldexp(1.0, -32);  // the generator's largest number
    EXPECT_EQ(dieFromRandom(0.0, 6), 1);
    EXPECT_EQ(dieFromRandom(justBelowOne, 6), 6);
    EXPECT_EQ(dieFromRandom(std::nextafter(1.0 / 6, 0.0), 6), 1);
    EXPECT_EQ(dieFromRandom(1.0 / 6, 6), 2);
    EXPECT_EQ(dieFromRandom(0.5, 6), 4) << "3.0 stays 3, never rounds to nearest";
    EXPECT_EQ(dieFromRandom(0.49, 6), 3) << "2.94 rounds down";
    EXPECT_EQ(dieFromRandom(5.0 / 6, 6), 6);
    EXPECT_EQ(dieFromRandom(justBelowOne, 1), 1);
    EXPECT_EQ(dieFromRandom(justBelowOne, 2147483647), 2147483647);
}

}  // namespace
}  // namespace zopp
