#include "board/dice_tray.h"

#include <string>

#include "board/checked_draw.h"
#include "board/message_button.h"
#include "board/screen_layout.h"
#include "frame/runtime.h"
#include "screen/drawing/blit.h"

namespace zopp {

namespace {

constexpr std::int32_t kReportSaveButton = 410;
constexpr std::int32_t kReportNotThrown = 617;
constexpr std::int32_t kReportLying = 619;
constexpr std::int32_t kReportPickedUp = 620;
constexpr std::int32_t kReportLockOpen = 623;
constexpr std::int32_t kReportLockClosed = 625;

void drawFace(GameState& game, const Die& die, const ScreenRect& place) {
    const std::int32_t x = place.left, y = place.top;
    switch (die.state) {
        case NotThrown:
            putImageChecked(game.imgDieFace[0], x, y, kReportNotThrown);
            break;
        case Lying:
            putImageChecked(imageAt(game.imgDieFace, die.value), x, y, kReportLying);
            break;
        case PickedUp:
            // A picked-up die hides its old face until it is thrown again.
            putImageChecked(game.imgDieFace[0], x, y, kReportPickedUp);
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
    const ScreenRect& button = kMessageButton;  // corners inclusive for the copy
    checkResult(saved.empty() ? IllegalFunctionCall
                              : copyScreenRect(kScreen, button.left, button.top, button.right - 1,
                                               button.bottom - 1, saved),
                kReportSaveButton);
    drawMessageButton(game, button.left, button.top, "1. Wurf Spieler " + std::to_string(game.currentPlayer),
                      game.colorBlack, 0);
    drawDice(game);
}

void drawDice(GameState& game) {
    for (std::int32_t i = 1; i <= 5; ++i) {
        const Die& die = game.dice[static_cast<std::size_t>(i)];
        drawFace(game, die, dieRect(i));
        if (die.locked == 0) {
            putImageChecked(game.imgLock[0], lockMarkX(i), kLockMarkY, kReportLockOpen);
        } else {
            putImageChecked(game.imgLock[1], lockMarkX(i), kLockMarkY, kReportLockClosed);
        }
    }
}

}  // namespace zopp
