#include "board/scoreboard.h"

#include <array>
#include <string>

#include "board/checked_draw.h"
#include "board/dice_tray.h"

namespace zopp {

namespace {

constexpr std::int32_t kCellWidth = 100;
constexpr std::int32_t kGlyphWidth = 8;
constexpr std::int32_t kLabelColumnX = 70;
constexpr std::int32_t kHeaderY = 5;
constexpr std::int32_t kTotalRow = 17;

constexpr std::int32_t kReportBackground = 368;
constexpr std::int32_t kReportCellImage = 635;
constexpr std::int32_t kReportCellText = 639;

constexpr std::array<std::string_view, 18> kLabels = {
    "",        "1er",    "2er",       "3er",       "4er",        "5er",         "6er",
    "oben",    "Bonus",  "3er Pasch", "4er Pasch", "Full House", "kl. Strasse", "gr. Strasse",
    "ZOPP ;)", "Chance", "unten",     "Gesamt",
};

std::int32_t columnX(std::int32_t player) {
    return kLabelColumnX + kCellWidth * player;
}

bool isSumRow(std::int32_t row) {
    return row == 7 || row == 8 || row == 16 || row == kTotalRow;
}

std::int32_t cellStyle(std::int32_t row) {
    return isSumRow(row) ? 1 : 0;
}

bool isCategoryRow(std::int32_t row) {
    return (row >= 1 && row <= 6) || (row >= 9 && row <= 15);
}

// A 5-pixel strip of background separates the upper block (rows 1-8) from the lower.
std::int32_t rowTop(std::int32_t row) {
    return row <= 8 ? 20 * row + 5 : 20 * row + 10;
}

}  // namespace

void drawCell(GameState& game, std::int32_t x, std::int32_t y, std::string_view text, std::uint32_t colour,
              std::int32_t style) {
    putImageChecked(imageAt(game.imgScoreCell, style), x, y, kReportCellImage);
    const auto length = static_cast<std::int32_t>(text.size());
    drawTextChecked(x + (kCellWidth - kGlyphWidth * length) / 2, y + 2, text, colour, kReportCellText);
}

void drawBoard(GameState& game) {
    for (std::int32_t player = 1; player <= 4; ++player) {
        for (std::int32_t row = 0; row <= 15; ++row) {
            if (row != 7 && row != 8) {
                game.scores[player][row] = -1;
            }
        }
    }
    game.currentPlayer = 1;
    game.currentRound = 1;
    game.roundCount = 13;

    putImageChecked(game.imgBackground, 0, 0, kReportBackground);
    for (std::int32_t row = 1; row <= kTotalRow; ++row) {
        const std::uint32_t colour = row == kTotalRow ? game.colorGreen : game.colorBlack;
        drawCell(game, kLabelColumnX, rowTop(row), kLabels[static_cast<std::size_t>(row)], colour,
                 cellStyle(row));
    }
    drawPlayerHeaders(game);
    for (std::int32_t player = 1; player <= 4; ++player) {
        for (std::int32_t row = 1; row <= kTotalRow; ++row) {
            drawCell(game, columnX(player), rowTop(row), "", game.colorBlack, cellStyle(row));
        }
    }
    startTurn(game);
}

void drawPlayerHeaders(GameState& game) {
    for (std::int32_t player = 1; player <= 4; ++player) {
        const std::uint32_t colour = player == game.currentPlayer ? game.colorRed : game.colorBlack;
        drawCell(game, columnX(player), kHeaderY, "Spieler " + std::to_string(player), colour, 1);
    }
}

void showCandidates(GameState& game) {
    const std::int32_t player = game.currentPlayer;
    for (std::int32_t row = 1; row <= 15; ++row) {
        if (!isCategoryRow(row) || game.scores[player][row] != -1) {
            continue;
        }
        drawCell(game, columnX(player), rowTop(row), std::to_string(game.scores[0][row]), game.colorRed, 0);
    }
}

void drawPlayerColumn(GameState& game) {
    const std::int32_t player = game.currentPlayer;
    for (std::int32_t row = 1; row <= kTotalRow; ++row) {
        const std::int32_t value = game.scores[player][row];
        const std::uint32_t colour = row == kTotalRow ? game.colorGreen : game.colorBlack;
        drawCell(game, columnX(player), rowTop(row), value >= 0 ? std::to_string(value) : std::string(),
                 colour, cellStyle(row));
    }
}

}  // namespace zopp
