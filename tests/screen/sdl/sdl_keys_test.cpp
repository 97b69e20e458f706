#include "screen/sdl/sdl_keys.h"

#include <gtest/gtest.h>

#include "frame/events.h"

namespace zopp {
namespace {

SDL_Keysym keysym(SDL_Scancode scancode, SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
    SDL_Keysym key{};
    key.scancode = scancode;
    key.sym = sym;
    key.mod = mod;
    return key;
}

TEST(SdlKeys, LettersFollowShiftCapsLockAndControl) {
    EXPECT_EQ(keyCharacter(keysym(SDL_SCANCODE_Q, SDLK_q)), 'q');
    EXPECT_EQ(keyCharacter(keysym(SDL_SCANCODE_Q, SDLK_q, KMOD_LSHIFT)), 'Q');
    EXPECT_EQ(keyCharacter(keysym(SDL_SCANCODE_Q, SDLK_q, KMOD_CAPS)), 'Q');
    EXPECT_EQ(keyCharacter(keysym(SDL_SCANCODE_Q, SDLK_q, KMOD_CAPS | KMOD_RSHIFT)), 'q');
    EXPECT_EQ(keyCharacter(keysym(SDL_SCANCODE_C, SDLK_c, KMOD_LCTRL)), 3);
}

TEST(SdlKeys, ShiftedSymbolsAndControlKeys) {
    EXPECT_EQ(keyCharacter(keysym(SDL_SCANCODE_1, SDLK_1)), '1');
    EXPECT_EQ(keyCharacter(keysym(SDL_SCANCODE_1, SDLK_1, KMOD_LSHIFT)), '!');
    EXPECT_EQ(keyCharacter(keysym(SDL_SCANCODE_SLASH, SDLK_SLASH, KMOD_LSHIFT)), '?');
    EXPECT_EQ(keyCharacter(keysym(SDL_SCANCODE_RETURN, SDLK_RETURN)), '\r');
    EXPECT_EQ(keyCharacter(keysym(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE)), 27);
    EXPECT_EQ(keyCharacter(keysym(SDL_SCANCODE_F1, SDLK_F1)), 0);
    EXPECT_EQ(keyCharacter(keysym(SDL_SCANCODE_LEFT, SDLK_LEFT)), 0);
}

TEST(SdlKeys, KeypadDigitsNeedNumLock) {
    EXPECT_EQ(keyCharacter(keysym(SDL_SCANCODE_KP_7, SDLK_KP_7, KMOD_NUM)), '7');
    EXPECT_EQ(keyCharacter(keysym(SDL_SCANCODE_KP_7, SDLK_KP_7)), 0);
    EXPECT_EQ(keyCharacter(keysym(SDL_SCANCODE_KP_0, SDLK_KP_0, KMOD_NUM)), '0');
    EXPECT_EQ(keyCharacter(keysym(SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS)), '+');
}

TEST(SdlKeys, NotificationCarriesScanCodeExtendedCodeRepeatAndAlt) {
    SDL_KeyboardEvent event{};
    event.keysym = keysym(SDL_SCANCODE_F4, SDLK_F4, KMOD_LALT);
    event.repeat = 1;
    const KeyNotification key = keyNotification(event);
    EXPECT_EQ(key.scanCode, 0x3E);
    EXPECT_EQ(key.extendedCode, 0x6B);  // Alt+F4, the close key
    EXPECT_EQ(key.character, 0);
    EXPECT_TRUE(key.repeat);
    EXPECT_TRUE(key.alt);
}

TEST(SdlKeys, ButtonsMapToTheirBits) {
    EXPECT_EQ(mouseButtonCode(SDL_BUTTON_LEFT), LeftButton);
    EXPECT_EQ(mouseButtonCode(SDL_BUTTON_MIDDLE), MiddleButton);
    EXPECT_EQ(mouseButtonCode(SDL_BUTTON_RIGHT), RightButton);
    EXPECT_EQ(mouseButtonCode(SDL_BUTTON_X2), ExtraButton2);
    EXPECT_EQ(mouseButtonCode(9), 0);
}

}  // namespace
}  // namespace zopp
