// The screen: one window with a frame buffer behind it, refreshed by the layer's refresh loop: on a
// thread of its own on the desktop, in the page's own callbacks and the program's sleeps in a browser.
// Every operation is called from the program's thread.
#pragma once

#include <cstdint>
#include <string_view>

#include "screen/state/screen_values.h"

namespace zopp {

// Keeps at most 127 characters; survives opens and closes. Changes the caption of an open window.
void setWindowTitle(std::string_view title);
std::string_view windowTitle();

// Opens (or re-opens) the screen. Depth 15 becomes 16 and 24 becomes 32. Returns 0, or 1 when the
// arguments are rejected or no back-end could start.
std::int32_t openScreen(std::int32_t width, std::int32_t height, std::int32_t depth, std::int32_t pageCount,
                        std::int32_t flags, std::int32_t refreshRate);
// Closes the window and releases the screen; nothing happens when none is open. Never call it from the
// refresh loop.
void closeScreen();
bool screenIsOpen();

}  // namespace zopp
