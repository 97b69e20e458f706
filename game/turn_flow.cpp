#include "game/turn_flow.h"

#include <string>

#include "board/checked_draw.h"
#include "board/dice_tray.h"
#include "board/message_button.h"
#include "board/scoreboard.h"
#include "board/screen_layout.h"
#include "frame/timing.h"
#include "game/dice.h"
#include "game/scoring.h"
#include "game/setup_screen.h"
#include "screen/drawing/line.h"

namespace zopp {

namespace {

constexpr std::int32_t kReportWinnerText = 203;

constexpr const char* kToScoreboard = "ins Scoreboard damit !?";
constexpr const char* kChooseARow = "Auswahl im ScoreBoard";

void showMessage(GameState& game, std::string_view text, std::int32_t style) {
    drawMessageButton(game, kMessageButton.left, kMessageButton.top, text, game.colorBlack, style);
}

void clickOnSetup(GameState& game, MainLoop& loop, std::int32_t x, std::int32_t y) {
    if (kRuleBoxFree.contains(x, y)) {
        game.ruleVariant = Free;
        drawRuleMarks(game);
    }
    if (kRuleBoxLocked.contains(x, y)) {
        game.ruleVariant = Locked;
        drawRuleMarks(game);
    }
    for (std::int32_t k = 1; k <= 4; ++k) {
        if (playerCountDie(k).contains(x, y)) {
            game.playerCount = k;
        }
    }
    if (game.playerCount > 0) {
        drawBoard(game);
        loop.phase = BeforeFirstThrow;
    }
}

void clickBeforeFirstThrow(GameState& game, MainLoop& loop, std::int32_t x, std::int32_t y) {
    if (!kMessageButton.contains(x, y)) {
        return;
    }
    throwDice(game);
    drawDice(game);
    countPickedUp(game);
    showMessage(game, kToScoreboard, 1);
    loop.phase = AfterFirstThrow;
}

void clickBetweenThrows(GameState& game, MainLoop& loop, std::int32_t x, std::int32_t y) {
    game.clickedDie = -1;
    for (std::int32_t i = 1; i <= 5; ++i) {
        if (dieRect(i).contains(x, y)) {
            game.clickedDie = i;
        }
    }
    if (game.clickedDie >= 1) {
        togglePickUp(game, game.clickedDie);
    }

    showPhaseMessage(game, loop);
    drawDice(game);

    if (kMessageButton.contains(x, y)) {
        if (game.pickedUpCount == 0) {
            // The remaining throws are given up.
            showMessage(game, kChooseARow, 2);
            loop.phase = ChooseRow;
        } else {
            if (game.ruleVariant == Locked) {
                lockLyingDice(game);
            }
            throwDice(game);
            drawDice(game);
            countPickedUp(game);
            if (loop.phase == AfterFirstThrow) {
                showMessage(game, kToScoreboard, 1);
            } else {
                showMessage(game, kChooseARow, 2);
            }
            ++loop.phase;
        }
    }
    if (loop.phase == ChooseRow) {
        evaluateThrow(game);
        showCandidates(game);
    }
}

void endGame(GameState& game, MainLoop& loop) {
    beep();
    loop.phase = GameOver;
    showPhaseMessage(game, loop);
}

// The row depends only on y: any of the four player columns fills the current player's row.
std::int32_t rowAt(std::int32_t x, std::int32_t y) {
    if (kUpperCategories.contains(x, y)) {
        return Ones + (y - kUpperCategories.top) / kCellHeight;
    }
    if (kLowerCategories.contains(x, y)) {
        return ThreeOfAKind + (y - kLowerCategories.top) / kCellHeight;
    }
    return 0;
}

void clickOnScoreboard(GameState& game, MainLoop& loop, std::int32_t x, std::int32_t y) {
    game.selectedRow = rowAt(x, y);
    if (game.selectedRow == 0) {
        return;
    }
    std::int32_t* column = game.scores[game.currentPlayer];
    if (column[game.selectedRow] != -1) {
        return;
    }

    column[game.selectedRow] = game.scores[0][game.selectedRow];
    updateTotals(game);
    drawPlayerColumn(game);
    if (game.currentPlayer == game.playerCount && game.currentRound == game.roundCount) {
        endGame(game, loop);
        return;
    }
    ++game.currentPlayer;
    if (game.currentPlayer > game.playerCount) {
        game.currentPlayer = 1;
        ++game.currentRound;
    }
    drawPlayerHeaders(game);
    startTurn(game);
    loop.phase = BeforeFirstThrow;
}

void clickOnGameOver(GameState& game, MainLoop& loop, std::int32_t x, std::int32_t y) {
    if (!kMessageButton.contains(x, y)) {
        return;
    }
    showSetupScreen(game);
    loop.phase = Setup;
}

}  // namespace

void showPhaseMessage(GameState& game, const MainLoop& loop) {
    switch (loop.phase) {
        case BeforeFirstThrow:
            showMessage(game, "1. Wurf Spieler " + std::to_string(game.currentPlayer), 0);
            break;
        case AfterFirstThrow:
        case AfterSecondThrow:
            if (game.pickedUpCount == 0) {
                showMessage(game, kToScoreboard, 1);
            } else {
                showMessage(
                    game,
                    std::to_string(loop.phase - 1) + ". Wurf Spieler " + std::to_string(game.currentPlayer),
                    0);
            }
            break;
        case ChooseRow:
            showMessage(game, kChooseARow, 2);
            break;
        case GameOver:
            drawLine(kScreen, 0, 433, static_cast<float>(game.screenWidth),
                     static_cast<float>(game.screenHeight), game.colorBlack, LineFilledBox);
            // No winner is named; the totals on the board tell.
            drawTextChecked(85, game.screenHeight - 32,
                            "Wer auch immer gewonnen hat, Herzlichen Glueckwunsch!!!", game.colorYellow,
                            kReportWinnerText);
            showMessage(game, "Neues Spiel ??", 0);
            break;
        default:
            break;
    }
}

void handleClick(GameState& game, MainLoop& loop) {
    const std::int32_t x = loop.mouseX;
    const std::int32_t y = loop.mouseY;
    switch (loop.phase) {
        case Setup:
            clickOnSetup(game, loop, x, y);
            break;
        case BeforeFirstThrow:
            clickBeforeFirstThrow(game, loop, x, y);
            break;
        case AfterFirstThrow:
        case AfterSecondThrow:
            clickBetweenThrows(game, loop, x, y);
            break;
        case ChooseRow:
            clickOnScoreboard(game, loop, x, y);
            break;
        case GameOver:
            clickOnGameOver(game, loop, x, y);
            break;
        default:
            break;
    }
}

}  // namespace zopp
