#include "screen/win32/win32_dpi.h"

namespace zopp {

namespace {

constexpr UINT kDpiAtScaleOne = 96;

using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiCall = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

template <typename Call>
Call userCall(const char* name) {
    return reinterpret_cast<Call>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

UINT windowDpi(HWND window) {
    static const auto kForWindow = userCall<GetDpiForWindowCall>("GetDpiForWindow");
    if (kForWindow != nullptr) return kForWindow(window);
    const HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDpiAtScaleOne;
}

RECT outerRect(std::int32_t width, std::int32_t height, DWORD style, UINT dpi) {
    static const auto kForDpi = userCall<AdjustWindowRectExForDpiCall>("AdjustWindowRectExForDpi");
    RECT outer{0, 0, width, height};
    if (kForDpi != nullptr) {
        kForDpi(&outer, style, FALSE, 0, dpi);
    } else {
        AdjustWindowRectEx(&outer, style, FALSE, 0);
    }
    return outer;
}

DesktopScale win32DesktopScale(const RECT& place, DWORD style, UINT dpi) {
    DesktopScale desktop;
    desktop.scale = static_cast<double>(dpi) / kDpiAtScaleOne;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromRect(&place, MONITOR_DEFAULTTONEAREST), &monitor)) {
        desktop.workWidth = monitor.rcWork.right - monitor.rcWork.left;
        desktop.workHeight = monitor.rcWork.bottom - monitor.rcWork.top;
    }
    const RECT frame = outerRect(0, 0, style, dpi);
    desktop.frameWidth = frame.right - frame.left;
    desktop.frameHeight = frame.bottom - frame.top;
    return desktop;
}

}  // namespace zopp
