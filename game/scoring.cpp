#include "game/scoring.h"

#include <algorithm>
#include <cstdint>

namespace zopp {

namespace {

constexpr std::int32_t kBonusThreshold = 63;
constexpr std::int32_t kBonusValue = 35;

std::int32_t count(const GameState& game, std::int32_t face) {
    return game.faceCount[static_cast<std::size_t>(face)];
}

// Every face from first to last shows on at least one die.
bool allShow(const GameState& game, std::int32_t first, std::int32_t last) {
    for (std::int32_t face = first; face <= last; ++face) {
        if (count(game, face) < 1) {
            return false;
        }
    }
    return true;
}

// Every face from first to last shows on exactly one die.
bool eachShowsOnce(const GameState& game, std::int32_t first, std::int32_t last) {
    for (std::int32_t face = first; face <= last; ++face) {
        if (count(game, face) != 1) {
            return false;
        }
    }
    return true;
}

bool someFaceCount(const GameState& game, bool (*test)(std::int32_t)) {
    return std::any_of(game.faceCount.begin() + 1, game.faceCount.end(), test);
}

}  // namespace

void countFaces(GameState& game) {
    std::fill(game.faceCount.begin() + 1, game.faceCount.end(), 0);
    // A die not thrown yet shows 0 and lands in entry 0, which no rule reads.
    for (std::size_t die = 1; die <= 5; ++die) {
        const std::int32_t value = game.dice[die].value;
        if (value >= 0 && value <= 6) {
            ++game.faceCount[static_cast<std::size_t>(value)];
        }
    }
}

void evaluateThrow(GameState& game) {
    countFaces(game);
    std::int32_t* candidate = game.scores[0];
    std::fill(candidate + Ones, candidate + GrandTotal + 1, 0);

    std::int32_t sum = 0;
    for (std::int32_t face = 1; face <= 6; ++face) {
        candidate[face] = face * count(game, face);
        sum += candidate[face];
    }

    if (someFaceCount(game, [](std::int32_t c) { return c >= 3; })) {
        candidate[ThreeOfAKind] = sum;
    }
    if (someFaceCount(game, [](std::int32_t c) { return c >= 4; })) {
        candidate[FourOfAKind] = sum;
    }
    // Equality on both counts: four or five of a kind is no full house.
    if (someFaceCount(game, [](std::int32_t c) { return c == 3; }) &&
        someFaceCount(game, [](std::int32_t c) { return c == 2; })) {
        candidate[FullHouse] = 25;
    }
    if (allShow(game, 1, 4) || allShow(game, 2, 5) || allShow(game, 3, 6)) {
        candidate[SmallStraight] = 30;
    }
    if (eachShowsOnce(game, 1, 5) || eachShowsOnce(game, 2, 6)) {
        candidate[LargeStraight] = 40;
    }
    if (someFaceCount(game, [](std::int32_t c) { return c == 5; })) {
        candidate[FiveOfAKind] = 50;
    }
    candidate[Chance] = sum;
}

void updateTotals(GameState& game) {
    std::int32_t* column = game.scores[game.currentPlayer];

    // Empty rows hold -1 and add nothing; a row filled with 0 adds 0.
    column[UpperSum] = 0;
    for (std::int32_t row = Ones; row <= Sixes; ++row) {
        if (column[row] >= 0) {
            column[UpperSum] += column[row];
        }
    }
    // Decided afresh from the rows filled so far, so the bonus comes as soon as they reach 63.
    column[Bonus] = column[UpperSum] >= kBonusThreshold ? kBonusValue : 0;

    column[LowerSum] = 0;
    for (std::int32_t row = ThreeOfAKind; row <= Chance; ++row) {
        if (column[row] >= 0) {
            column[LowerSum] += column[row];
        }
    }
    column[GrandTotal] = column[Bonus] + column[UpperSum] + column[LowerSum];
}

}  // namespace zopp
