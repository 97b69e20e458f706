#include "game/dice.h"

#include <cmath>

#include "frame/random.h"

namespace zopp {

namespace {

constexpr std::int32_t kDieFaces = 6;

bool isDieNumber(std::int32_t die) {
    return die >= 1 && die <= 5;
}

}  // namespace

std::int32_t dieFromRandom(double r, std::int32_t n) {
    // Rounded down, never to nearest: each face covers an equal share of [0, 1).
    return static_cast<std::int32_t>(std::floor(r * n)) + 1;
}

std::int32_t rollDie(std::int32_t n) {
    return dieFromRandom(randomUnit(1.0f), n);
}

void throwDice(GameState& game) {
    // One draw per thrown die in die order, so a seed always gives the same throw.
    for (std::int32_t i = 1; i <= 5; ++i) {
        Die& die = game.dice[i];
        if (die.state == PickedUp || die.state == NotThrown) {
            die.value = rollDie(kDieFaces);
            die.state = Lying;
        }
    }
}

void lockLyingDice(GameState& game) {
    for (std::int32_t i = 1; i <= 5; ++i) {
        if (game.dice[i].state == Lying) game.dice[i].locked = 1;
    }
}

void togglePickUp(GameState& game, std::int32_t die) {
    if (!isDieNumber(die)) return;
    Die& target = game.dice[die];
    if (target.locked == 1) return;
    target.state = target.state == PickedUp ? Lying : PickedUp;
    countPickedUp(game);
}

void countPickedUp(GameState& game) {
    // PickedUp is 1 and Lying 0, so the sum counts the picked-up dice once none is NotThrown.
    std::int32_t sum = 0;
    for (std::int32_t i = 1; i <= 5; ++i)
        sum += game.dice[i].state;
    game.pickedUpCount = sum;
}

}  // namespace zopp
