// Mapping of SDL's mouse buttons and key events onto the layer's button codes and key notifications.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "screen/backend/event_translator.h"

namespace zopp {

// The MouseButton code of an SDL button, or 0 for buttons beyond the two extra ones.
std::int32_t mouseButtonCode(Uint8 sdlButton);

// The character a key produces under the held modifiers (US layout for shifted symbols; Ctrl+letter gives
// 1 to 26), or 0 for keys without one.
std::int32_t keyCharacter(const SDL_Keysym& key);

// Scan code, character, extended code, repeat and Alt of a key event.
KeyNotification keyNotification(const SDL_KeyboardEvent& event);

}  // namespace zopp
