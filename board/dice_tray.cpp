#include "board/dice_tray.h"

#include <string>

#include "board/checked_draw.h"
#include "board/message_button.h"
#include "frame/runtime.h"
#include "screen/blit.h"

namespace zopp {

namespace {

constexpr std::int32_t kDiceTop = 380;
constexpr std::int32_t kLockTop = 435;

constexpr std::int32_t kReportSaveButton = 410;
constexpr std::int32_t kReportNotThrown = 617;
constexpr std::int32_t kReportLying = 619;
constexpr std::int32_t kReportPickedUp = 620;
constexpr std::int32_t kReportLockOpen = 623;
constexpr std::int32_t kReportLockClosed = 625;

void drawFace(GameState& game, const Die& die, std::int32_t x) {
    switch (die.state) {
        case NotThrown:
            putImageChecked(game.imgDieFace[0], x, kDiceTop, kReportNotThrown);
            break;
        case Lying:
            putImageChecked(imageAt(game.imgDieFace, die.value), x, kDiceTop, kReportLying);
            break;
        case PickedUp:
            // A picked-up die hides its old face until it is thrown again.
            putImageChecked(game.imgDieFace[0], x, kDiceTop, kReportPickedUp);
            break;
        default:
            break;
    }
}

}  // namespace

void startTurn(GameState& game) {
    for (std::size_t i = 1; i <= 5; ++i) {
        game.dice[i] = Die{0, NotThrown, 0};
    }
    // Saved before the button is drawn, so style 2 can later show what lies under the button.
    const ImageBytes saved = game.imgButton[2] ? game.imgButton[2]->bytes() : ImageBytes{};
    checkResult(saved.empty() ? IllegalFunctionCall : copyScreenRect(SCREEN, 370, 380, 569, 429, saved),
                kReportSaveButton);
    drawMessageButton(game, kMessageButtonX, kMessageButtonY,
                      "1. Wurf Spieler " + std::to_string(game.currentPlayer), game.colorBlack, 0);
    drawDice(game);
}

void drawDice(GameState& game) {
    for (std::int32_t i = 1; i <= 5; ++i) {
        const Die& die = game.dice[static_cast<std::size_t>(i)];
        drawFace(game, die, 60 * i + 10);
        if (die.locked == 0) {
            putImageChecked(game.imgLock[0], 60 * i + 30, kLockTop, kReportLockOpen);
        } else {
            putImageChecked(game.imgLock[1], 60 * i + 30, kLockTop, kReportLockClosed);
        }
    }
}

}  // namespace zopp
