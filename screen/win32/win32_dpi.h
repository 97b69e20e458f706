// The desktop's scale where a window is: its monitor's dots per inch (per monitor, as the manifest
// declares), the monitor's work area, and the frame that a window style adds at that scale. The calls
// made for this came with Windows 10; before it every monitor has the system's dots per inch.
#pragma once

#include <windows.h>

#include "screen/backend/window_scale.h"

namespace zopp {

UINT windowDpi(HWND window);

// The outer rectangle of a client area of width × height at dpi, its top left at (0, 0) + the frame.
RECT outerRect(std::int32_t width, std::int32_t height, DWORD style, UINT dpi);

// For a window of the style on the monitor that holds most of `place`, at dpi.
DesktopScale win32DesktopScale(const RECT& place, DWORD style, UINT dpi);

}  // namespace zopp
