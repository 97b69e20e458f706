// The one record of all game state, shared by every game and board routine. It lives with the board
// because the board draws from it and writes parts of it, and the game sits above the board.
#pragma once

#include <array>
#include <cstdint>

#include "screen/images/image.h"

namespace zopp {

// The rows of the score table: the categories "1er" to "6er" and "3er Pasch" to "Chance", and the sums
// "oben", "Bonus", "unten" and "Gesamt". Row 0 is unused.
enum ScoreRow : std::int32_t {
    Ones = 1,
    Twos = 2,
    Threes = 3,
    Fours = 4,
    Fives = 5,
    Sixes = 6,
    UpperSum = 7,
    Bonus = 8,
    ThreeOfAKind = 9,
    FourOfAKind = 10,
    FullHouse = 11,
    SmallStraight = 12,
    LargeStraight = 13,
    FiveOfAKind = 14,
    Chance = 15,
    LowerSum = 16,
    GrandTotal = 17,
};

// Scores [player][ScoreRow]; -1 marks an empty row. Player 0 holds the candidates of the current throw.
using ScoreTable = std::int32_t[5][GrandTotal + 1];

enum DieState : std::int32_t {
    NotThrown = -1,
    Lying = 0,
    PickedUp = 1,
};

enum RuleVariant : std::int32_t {
    Free = 0,    // any lying die may be picked up before the second and third throw
    Locked = 1,  // dice kept through a re-throw stay for the rest of the turn
};

struct Die {
    std::int32_t value;  // 0 until thrown in this turn, then 1..6
    std::int32_t state;  // DieState
    std::int32_t locked;
};

struct GameState {
    std::int32_t screenWidth;
    std::int32_t screenHeight;
    std::int32_t screenDepth;
    std::uint32_t defaultForeground;
    std::uint32_t defaultBackground;
    std::uint32_t colorBlack;
    std::uint32_t colorGreen;
    std::uint32_t colorRed;
    std::uint32_t colorYellow;
    std::int32_t playerCount;
    std::int32_t currentPlayer;
    std::int32_t roundCount;
    std::int32_t currentRound;
    ScoreTable scores;
    std::int32_t selectedRow;
    std::int32_t ruleVariant;  // RuleVariant
    std::array<Die, 6> dice;   // 1..5; entry 0 is unused so that dice keep their numbers
    std::array<std::int32_t, 7> faceCount;
    std::int32_t clickedDie;
    std::int32_t pickedUpCount;
    ImagePtr imgBackground;
    std::array<ImagePtr, 7> imgDieFace;
    std::array<ImagePtr, 2> imgScoreCell;
    std::array<ImagePtr, 2> imgLock;
    std::array<ImagePtr, 3> imgButton;
    std::array<ImagePtr, 2> imgCheckmark;
};

// The module text of every run-time error report, from the game and the board alike.
inline constexpr const char* kZoppModule = "game/ZOPP.cpp";

}  // namespace zopp
