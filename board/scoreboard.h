// The scoreboard: a label column and four player columns of 100×20 cells with centred text, a header row
// above them (positions in board/screen_layout.h).
#pragma once

#include <cstdint>
#include <string_view>

#include "board/game_state.h"

namespace zopp {

// One cell at (x, y): imgScoreCell[style] (0 plain, 1 emphasised), then text centred 8 px per character,
// 2 px below the top, in colour. An empty text leaves the bare cell.
void drawCell(GameState& game, std::int32_t x, std::int32_t y, std::string_view text, std::uint32_t colour,
              std::int32_t style);

// Starts a new game's board: empties the categories of all four players, sets player 1 and round 1 of
// 13, draws background, labels, headers and empty cells, and ends with startTurn.
void drawBoard(GameState& game);

// The four "Spieler k" headers, the current player's in red.
void drawPlayerHeaders(GameState& game);

// The candidates of column 0 in red in the current player's empty category cells.
void showCandidates(GameState& game);

// Redraws the current player's column: values and sums in black, the total in green, empty rows bare.
void drawPlayerColumn(GameState& game);

}  // namespace zopp
