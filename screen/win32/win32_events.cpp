// The window procedure: pointer, buttons, wheels, keys, activation and the close request, turned into
// events by the translator.
#include <windowsx.h>

#include "frame/events.h"
#include "screen/backend/event_translator.h"
#include "screen/win32/win32_backend.h"
#include "screen/win32/win32_keys.h"

namespace zopp {

LRESULT Win32Backend::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    window_ = window;  // the first messages come before CreateWindowEx has returned it
    switch (message) {
        case WM_MOUSEMOVE:
            pointerMoved(lParam);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            buttonChanged(message, wParam, lParam);
            return 0;
        case WM_XBUTTONDOWN:
        case WM_XBUTTONUP:
            buttonChanged(message, wParam, lParam);
            return TRUE;  // the extra buttons' messages say so when handled
        case WM_MOUSEWHEEL:
            translator_->wheel(GET_WHEEL_DELTA_WPARAM(wParam));
            return 0;
        case WM_MOUSEHWHEEL:
            translator_->horizontalWheel(GET_WHEEL_DELTA_WPARAM(wParam));
            return 0;
        case WM_MOUSELEAVE:
            translator_->pointerLeft();
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            if (keyChanged(message, wParam, lParam)) return 0;
            break;
        case WM_ACTIVATE:
            followActivation(LOWORD(wParam) != WA_INACTIVE);
            translator_->activationChanged(LOWORD(wParam) != WA_INACTIVE, HIWORD(wParam) != 0);
            return 0;
        case WM_SIZE:
            // Restoring a minimised window comes after its activation.
            if (wParam == SIZE_MINIMIZED || wParam == SIZE_RESTORED)
                translator_->minimisedChanged(wParam == SIZE_MINIMIZED);
            return 0;
        case WM_SYSCOMMAND:
            // The size is fixed. The window menu's close item comes back as WM_CLOSE.
            if ((wParam & 0xFFF0) == SC_MAXIMIZE) {
                translator_->maximiseRequested();
                return 0;
            }
            break;
        case WM_CLOSE:
            // A request only: the window stays until the program ends or closes the screen.
            translator_->closeRequested();
            return 0;
        case WM_DPICHANGED:
            followDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_PAINT:
            repaint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // every pixel is painted from the frame buffer
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

// Positions are signed: while the pointer is captured, left of or above the window is negative.
void Win32Backend::pointerMoved(LPARAM lParam) {
    POINT desktop{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(window_, &desktop);
    translator_->motion(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), desktop.x, desktop.y);
}

namespace {

// The messages of one button. The window class asks for no double-click messages: the translator counts
// a series of presses from their times and places.
struct ButtonMessages {
    UINT press, release;
    std::int32_t button;  // the extra buttons share their messages: ExtraButton1 stands for both
};
constexpr ButtonMessages kButtonMessages[] = {
    {WM_LBUTTONDOWN, WM_LBUTTONUP, LeftButton},
    {WM_RBUTTONDOWN, WM_RBUTTONUP, RightButton},
    {WM_MBUTTONDOWN, WM_MBUTTONUP, MiddleButton},
    {WM_XBUTTONDOWN, WM_XBUTTONUP, ExtraButton1},
};

}  // namespace

void Win32Backend::buttonChanged(UINT message, WPARAM wParam, LPARAM lParam) {
    for (const ButtonMessages& messages : kButtonMessages) {
        if (message != messages.press && message != messages.release) continue;
        std::int32_t button = messages.button;
        if (button == ExtraButton1 && GET_XBUTTON_WPARAM(wParam) != XBUTTON1) button = ExtraButton2;
        if (message == messages.release) {
            translator_->buttonReleased(button);
        } else {
            POINT desktop{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(window_, &desktop);
            translator_->buttonPressedAt(button, static_cast<std::uint32_t>(GetMessageTime()), desktop.x,
                                         desktop.y);
        }
        return;
    }
}

// Returns true when the key was handled here and the system must not see it: F10 and Alt alone would
// open the window menu, Alt+F4 would close the window. Alt+Space still opens the window menu, and Alt+Tab
// never reaches the window.
bool Win32Backend::keyChanged(UINT message, WPARAM wParam, LPARAM lParam) {
    const KeyNotification key = keyNotification(wParam, lParam);
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
        translator_->keyPressed(key);
    } else {
        translator_->keyReleased(key);
    }
    return !(key.alt && wParam == VK_SPACE);
}

void Win32Backend::capturePointer() {
    SetCapture(window_);
}

void Win32Backend::releasePointer() {
    ReleaseCapture();
}

bool Win32Backend::holdsPointer() const {
    return window_ != nullptr && GetCapture() == window_;
}

// The system reports the pointer leaving only when asked, once per request.
void Win32Backend::trackLeave(bool enabled) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = enabled ? TME_LEAVE : TME_LEAVE | TME_CANCEL;
    track.hwndTrack = window_;
    TrackMouseEvent(&track);
}

}  // namespace zopp
