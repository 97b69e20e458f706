#include "board/scoreboard.h"

#include <array>
#include <string>

#include "board/checked_draw.h"
#include "board/dice_tray.h"
#include "board/screen_layout.h"

namespace zopp {

namespace {

constexpr std::int32_t kGlyphWidth = 8;

constexpr std::int32_t kReportBackground = 368;
constexpr std::int32_t kReportCellImage = 635;
constexpr std::int32_t kReportCellText = 639;

constexpr std::array<std::string_view, GrandTotal + 1> kLabels = {
    "",        "1er",    "2er",       "3er",       "4er",        "5er",         "6er",
    "oben",    "Bonus",  "3er Pasch", "4er Pasch", "Full House", "kl. Strasse", "gr. Strasse",
    "ZOPP ;)", "Chance", "unten",     "Gesamt",
};

bool isSumRow(std::int32_t row) {
    return row == UpperSum || row == Bonus || row == LowerSum || row == GrandTotal;
}

std::int32_t cellStyle(std::int32_t row) {
    return isSumRow(row) ? 1 : 0;
}

bool isCategoryRow(std::int32_t row) {
    return (row >= Ones && row <= Sixes) || (row >= ThreeOfAKind && row <= Chance);
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
        // Row 0 too; the sum rows keep their values until the next entry recomputes them.
        for (std::int32_t row = 0; row <= Chance; ++row) {
            if (!isSumRow(row)) {
                game.scores[player][row] = -1;
            }
        }
    }
    game.currentPlayer = 1;
    game.currentRound = 1;
    game.roundCount = 13;

    putImageChecked(game.imgBackground, 0, 0, kReportBackground);
    for (std::int32_t row = Ones; row <= GrandTotal; ++row) {
        const std::uint32_t colour = row == GrandTotal ? game.colorGreen : game.colorBlack;
        drawCell(game, kLabelColumnX, rowTop(row), kLabels[static_cast<std::size_t>(row)], colour,
                 cellStyle(row));
    }
    drawPlayerHeaders(game);
    for (std::int32_t player = 1; player <= 4; ++player) {
        for (std::int32_t row = Ones; row <= GrandTotal; ++row) {
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
    for (std::int32_t row = Ones; row <= Chance; ++row) {
        if (!isCategoryRow(row) || game.scores[player][row] != -1) {
            continue;
        }
        drawCell(game, columnX(player), rowTop(row), std::to_string(game.scores[0][row]), game.colorRed, 0);
    }
}

void drawPlayerColumn(GameState& game) {
    const std::int32_t player = game.currentPlayer;
    for (std::int32_t row = Ones; row <= GrandTotal; ++row) {
        const std::int32_t value = game.scores[player][row];
        const std::uint32_t colour = row == GrandTotal ? game.colorGreen : game.colorBlack;
        drawCell(game, columnX(player), rowTop(row), value >= 0 ? std::to_string(value) : std::string(),
                 colour, cellStyle(row));
    }
}

}  // namespace zopp
