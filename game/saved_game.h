// A game as one plain value, to carry it from one run of the program to the next: every field of
// GameState that is not an image or a constant, the main routine's phase and pointer position, and the
// random generator's whole state, so that a restored game throws exactly the dice the interrupted one
// would have thrown.
//
// Version 1 is kSavedGameSize bytes, little-endian, at fixed offsets (the page reads a few of them):
//    0  "ZOPP"              14  dice 1..5: value, state (signed), locked; 3 bytes each
//    4  format version      29  faceCount 0..6, a byte each
//    5  phase               36  mouseX, mouseY: int32 each
//    6  ruleVariant         44  scores [player 0..4][row 0..17]: int16 each, player by player
//    7  playerCount        224  fingerprint of the pictures the board was drawn with: uint32
//    8  currentPlayer      228  random generator: selected (int32), index (uint16), the last number
//    9  roundCount              times 2^32 (uint32), then its 624 words (uint32 each)
//   10  currentRound     2734  CRC-32 of every byte before it
//   11  selectedRow
//   12  clickedDie (signed)
//   13  pickedUpCount
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "board/game_state.h"
#include "game/main_loop.h"

namespace zopp {

inline constexpr std::uint8_t kSavedGameVersion = 1;
inline constexpr std::size_t kSavedGameSize = 2738;

// Identifies the pictures a game was drawn with (every image but the saved button face): a game is
// restored only over the same pictures, as its frame is drawn from them.
std::uint32_t picturesFingerprint(const GameState& game);

std::vector<std::uint8_t> saveGame(const GameState& game, const MainLoop& loop, std::uint32_t pictures);

// Checks every field of a saved value against the ranges and relations a game can reach, and only then
// writes it into game, loop and the random generator. Returns nullptr on success, else why the value was
// rejected as a whole (nothing changed): a short text for the console.
const char* restoreGame(std::span<const std::uint8_t> saved, std::uint32_t pictures, GameState& game,
                        MainLoop& loop);

}  // namespace zopp
