#include "game/setup_screen.h"

#include "board/checked_draw.h"
#include "frame/random.h"
#include "frame/timing.h"

namespace zopp {

void showSetupScreen(GameState& game) {
    seedRandom(timerSeconds(), 0);
    // A new game starts only once a player count has been clicked.
    game.playerCount = 0;

    const std::uint32_t ink = game.defaultForeground;
    putImageChecked(game.imgBackground, 0, 0, 342);
    drawTextChecked(280, 10, "Regelwerk:", ink, 343);
    drawTextChecked(70, 40, "ZOPP-Style... jeder gehaltene Wuerfel darf wieder benutzt werden", ink, 344);
    // The three blanks leave the gap where the lock sign goes.
    drawTextChecked(70, 90, "Original-K-Style... jeder gehaltene Wuerfel bleibt liegen (locked   !)", ink,
                    345);
    putImageChecked(game.imgLock[1], game.screenWidth - 43, 92, 346);
    drawRuleMarks(game);
    drawTextChecked(140, 320, "Waehle Anzahl der Spieler und los gehts....", ink, 348);
    for (std::int32_t k = 0; k < 4; ++k) {
        putImageChecked(imageAt(game.imgDieFace, k + 1), 130 + 100 * k, 350, 350);
    }
}

void drawRuleMarks(GameState& game) {
    if (game.ruleVariant == Free) {
        putImageChecked(game.imgCheckmark[1], 30, 40, 565);
        putImageChecked(game.imgCheckmark[0], 30, 90, 566);
    } else {
        putImageChecked(game.imgCheckmark[0], 30, 40, 568);
        putImageChecked(game.imgCheckmark[1], 30, 90, 569);
    }
}

}  // namespace zopp
