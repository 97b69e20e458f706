// The window: its class, style, size and place, full screen and giving the display back, title and icon.
#include <string>

#include "frame/timing.h"
#include "screen/backend/event_translator.h"
#include "screen/backend/window_placement.h"
#include "screen/state/screen_state.h"
#include "screen/state/screen_values.h"
#include "screen/win32/win32_backend.h"
#include "screen/win32/win32_dpi.h"
#include "screen/win32/win32_icon.h"
#include "screen/win32/win32_sound.h"

namespace zopp {

namespace {

constexpr const wchar_t* kWindowClassName = L"ZoppScreenWindow";

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* backend = reinterpret_cast<Win32Backend*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (backend == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return backend->handleMessage(window, message, wParam, lParam);
}

// Registered once for the process. CS_OWNDC keeps one device context for the window's life, so
// presenting needs no GetDC per frame.
bool registerWindowClass() {
    static const bool kRegistered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_OWNDC;
        windowClass.lpfnWndProc = windowProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kWindowClassName;
        return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return kRegistered;
}

// The caption's bytes are the font's characters; the window shows them as the ANSI code page does.
std::wstring captionText(std::string_view title) {
    std::wstring text;
    const int length =
        MultiByteToWideChar(CP_ACP, 0, title.data(), static_cast<int>(title.size()), nullptr, 0);
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, title.data(), static_cast<int>(title.size()), text.data(), length);
    return text;
}

}  // namespace

// Caption, window menu and minimise box; the maximise box only where maximising may switch to full
// screen. No sizing border: the size is fixed. Full screen and frameless windows are bare pop-ups.
DWORD Win32Backend::windowStyle() const {
    if (fullScreen_ || (flags_ & ScreenNoFrame)) return WS_POPUP;
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    if (!(flags_ & ScreenNoSwitch)) style |= WS_MAXIMIZEBOX;
    return style;
}

bool Win32Backend::createWindow(ScreenState& screen, std::int32_t refreshRate, std::string_view title,
                                EventTranslator& translator) {
    screen_ = &screen;
    translator_ = &translator;
    refreshRate_ = refreshRate;
    clientWidth_ = screen.width;
    clientHeight_ = screen.height;
    if (!registerWindowClass()) return false;
    fullScreen_ = (flags_ & ScreenFullScreen) != 0;
    if (fullScreen_ && !switchDisplayMode()) return false;

    // At factor 1 first: the window's monitor, and so its scale, is known once the window exists.
    RECT outer{0, 0, screen.width, screen.height};
    AdjustWindowRectEx(&outer, windowStyle(), FALSE, 0);
    const DWORD extendedStyle = fullScreen_ ? WS_EX_TOPMOST : 0;
    window_ = CreateWindowExW(extendedStyle, kWindowClassName, captionText(title).c_str(), windowStyle(), 0,
                              0, outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                              GetModuleHandleW(nullptr), this);
    if (window_ == nullptr) return false;
    dc_ = GetDC(window_);
    if (flags_ & ScreenOpenGL) {
        gl_ = std::make_unique<Win32GlContext>();
        if (!gl_->start(window_, dc_, screen)) return false;
    }

    bigIcon_ = makeWindowIcon(GetSystemMetrics(SM_CXICON));
    smallIcon_ = makeWindowIcon(GetSystemMetrics(SM_CXSMICON));
    if (bigIcon_) SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    if (smallIcon_) SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));

    dpi_ = windowDpi(window_);
    if (fullScreen_) {
        // Made at the display mode's size already.
        placing_ = true;
        translator.fullScreenChanged(true);
        placing_ = false;
    } else {
        // The loop answers with the client area at its factor (resizeClient).
        RECT place{};
        GetWindowRect(window_, &place);
        translator.desktopScaleChanged(win32DesktopScale(place, windowStyle(), dpi_));
        centreWindow();
    }
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    if (flags_ & ScreenShaped) updateShape(clientWidth_ / screen.width);  // the factor it was made at
    return true;
}

BeepSoundHook Win32Backend::soundOutput() const {
    return playWin32Tone;
}

void Win32Backend::destroyWindow() {
    gl_.reset();
    if (window_ != nullptr) {
        if (GetCapture() == window_) ReleaseCapture();
        // Messages still on their way to the window find no back-end behind it.
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    window_ = nullptr;
    dc_ = nullptr;
    if (bigIcon_) DestroyIcon(bigIcon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
    bigIcon_ = smallIcon_ = nullptr;
    if (displayModeSwitched_) ChangeDisplaySettingsW(nullptr, 0);
    displayModeSwitched_ = false;
}

void Win32Backend::setTitle(std::string_view title) {
    SetWindowTextW(window_, captionText(title).c_str());
}

// Full screen: the display mode of the screen's size (and refresh rate, when one is asked for).
bool Win32Backend::switchDisplayMode() {
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = static_cast<DWORD>(screen_->width);
    mode.dmPelsHeight = static_cast<DWORD>(screen_->height);
    mode.dmBitsPerPel = static_cast<DWORD>(screen_->depth < 16 ? 32 : screen_->depth);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    if (refreshRate_ > 0) {
        mode.dmDisplayFrequency = static_cast<DWORD>(refreshRate_);
        mode.dmFields |= DM_DISPLAYFREQUENCY;
    }
    displayModeSwitched_ = ChangeDisplaySettingsW(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
    return displayModeSwitched_;
}

// Centred on the whole desktop, whatever its panels take of it, as on every platform.
void Win32Backend::centreWindow() {
    RECT outer{};
    GetWindowRect(window_, &outer);
    const WindowPosition place =
        centredOnDesktop(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                         outer.right - outer.left, outer.bottom - outer.top);
    SetWindowPos(window_, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Full screen holds the display only while the game is in front: losing activation minimises the window
// and gives the desktop its own mode back, activation switches to the game's mode again (and retries a
// switch that failed, the window restored either way).
void Win32Backend::followActivation(bool active) {
    if (!fullScreen_) return;
    if (!active) {
        if (!IsIconic(window_)) ShowWindow(window_, SW_SHOWMINNOACTIVE);
        if (displayModeSwitched_) ChangeDisplaySettingsW(nullptr, 0);
        displayModeSwitched_ = false;
    } else if (!displayModeSwitched_) {
        switchDisplayMode();
        if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
        SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
    }
}

// Where the window is, unless the report's caller places it itself.
void Win32Backend::resizeClient(std::int32_t width, std::int32_t height) {
    clientWidth_ = width;
    clientHeight_ = height;
    if (placing_) return;
    const RECT outer = outerRect(width, height, windowStyle(), dpi_);
    SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The window went to a monitor of another scale, or the desktop's scale changed: the system's suggested
// place, at the factor of the new scale.
void Win32Backend::followDpi(UINT dpi, const RECT& suggested) {
    if (fullScreen_) return;
    dpi_ = dpi;
    placing_ = true;
    translator_->desktopScaleChanged(win32DesktopScale(suggested, windowStyle(), dpi));
    placing_ = false;
    const RECT outer = outerRect(clientWidth_, clientHeight_, windowStyle(), dpi);
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, outer.right - outer.left,
                 outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Win32Backend::pointerOverClient() const {
    POINT pointer{};
    if (!GetCursorPos(&pointer) || !ScreenToClient(window_, &pointer)) return false;
    return pointer.x >= 0 && pointer.y >= 0 && pointer.x < clientWidth_ && pointer.y < clientHeight_;
}

void Win32Backend::toggleFullScreen() {
    if (fullScreen_) {
        if (displayModeSwitched_) ChangeDisplaySettingsW(nullptr, 0);
        displayModeSwitched_ = false;
        fullScreen_ = false;
    } else {
        fullScreen_ = switchDisplayMode();
        if (!fullScreen_) return;
    }
    SetWindowLongPtrW(window_, GWL_STYLE, static_cast<LONG_PTR>(windowStyle() | WS_VISIBLE));
    placing_ = true;
    translator_->fullScreenChanged(fullScreen_);
    placing_ = false;
    const RECT outer = outerRect(clientWidth_, clientHeight_, windowStyle(), windowDpi(window_));
    SetWindowPos(window_, fullScreen_ ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, outer.right - outer.left,
                 outer.bottom - outer.top, SWP_FRAMECHANGED | SWP_NOMOVE);
    if (fullScreen_) {
        SetWindowPos(window_, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    } else {
        centreWindow();
    }
}

}  // namespace zopp
