// What the desktop says about the place of a new SDL window: its scale and its work area.
#pragma once

#include <SDL.h>

#include "screen/backend/window_scale.h"

namespace zopp {

// For `window` (created, not yet shown): the scale X clients read on X11 (Xft.dpi of the X resources /
// 96), else GDK_SCALE, else 1 (always 1 without X); the work area of its display; its frame where it
// already has one.
DesktopScale sdlDesktopScale(SDL_Window* window);

}  // namespace zopp
