#include "screen/sdl/sdl_keys.h"

#include <cctype>
#include <string_view>

#include "frame/events.h"
#include "screen/backend/scan_codes.h"

namespace zopp {

std::int32_t mouseButtonCode(Uint8 sdlButton) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT:
            return LeftButton;
        case SDL_BUTTON_RIGHT:
            return RightButton;
        case SDL_BUTTON_MIDDLE:
            return MiddleButton;
        case SDL_BUTTON_X1:
            return ExtraButton1;
        case SDL_BUTTON_X2:
            return ExtraButton2;
        default:
            return 0;
    }
}

namespace {

// Keypad digits and the point type only with Num Lock on; the operators always.
std::int32_t keypadCharacter(SDL_Keycode sym, bool numLock) {
    switch (sym) {
        case SDLK_KP_DIVIDE:
            return '/';
        case SDLK_KP_MULTIPLY:
            return '*';
        case SDLK_KP_MINUS:
            return '-';
        case SDLK_KP_PLUS:
            return '+';
        case SDLK_KP_0:
            return numLock ? '0' : 0;
        case SDLK_KP_PERIOD:
            return numLock ? '.' : 0;
        default:
            break;
    }
    if (numLock && sym >= SDLK_KP_1 && sym <= SDLK_KP_9) return '1' + (sym - SDLK_KP_1);
    return 0;
}

}  // namespace

std::int32_t keyCharacter(const SDL_Keysym& key) {
    const bool shift = (key.mod & KMOD_SHIFT) != 0;
    const bool caps = (key.mod & KMOD_CAPS) != 0;
    const SDL_Keycode sym = key.sym;
    if (sym >= 'a' && sym <= 'z') {
        if (key.mod & KMOD_CTRL) return sym - 'a' + 1;
        return shift != caps ? std::toupper(sym) : sym;
    }
    if (sym == SDLK_RETURN || sym == SDLK_KP_ENTER) return '\r';
    if (const std::int32_t keypad = keypadCharacter(sym, (key.mod & KMOD_NUM) != 0)) return keypad;
    if (sym == SDLK_BACKSPACE || sym == SDLK_TAB || sym == SDLK_ESCAPE || sym == SDLK_SPACE) return sym;
    if (sym > 0x20 && sym < 0x7F) {
        if (!shift) return sym;
        static constexpr std::string_view kPlain = "1234567890-=[]\\;',./`";
        static constexpr std::string_view kShifted = "!@#$%^&*()_+{}|:\"<>?~";
        const auto at = kPlain.find(static_cast<char>(sym));
        return at == std::string_view::npos ? sym : kShifted[at];
    }
    if (sym >= 0xA0 && sym < 0x100) return sym;  // Latin-1 keys of other layouts
    return 0;
}

KeyNotification keyNotification(const SDL_KeyboardEvent& event) {
    const KeyModifiers modifiers{(event.keysym.mod & KMOD_SHIFT) != 0, (event.keysym.mod & KMOD_CTRL) != 0,
                                 (event.keysym.mod & KMOD_ALT) != 0};
    const auto hid = static_cast<std::int32_t>(event.keysym.scancode);
    return KeyNotification{pcScanCode(hid), keyCharacter(event.keysym), extendedKeyCode(hid, modifiers),
                           event.repeat != 0, modifiers.alt};
}

}  // namespace zopp
