// The window procedure: pointer, buttons, wheels, keys, activation and the close request, turned into
// events by the translator.
#include <windowsx.h>

#include "frame/events.h"
#include "screen/event_translator.h"
#include "screen/screen.h"
#include "screen/screen_state.h"
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
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
            buttonChanged(message, wParam);
            return 0;
        case WM_XBUTTONDOWN:
        case WM_XBUTTONUP:
        case WM_XBUTTONDBLCLK:
            buttonChanged(message, wParam);
            return TRUE;  // the extra buttons' messages say so when handled
        case WM_MOUSEWHEEL:
            translator_->wheel(GET_WHEEL_DELTA_WPARAM(wParam));
            return 0;
        case WM_MOUSEHWHEEL:
            translator_->horizontalWheel(GET_WHEEL_DELTA_WPARAM(wParam));
            return 0;
        case WM_MOUSELEAVE:
            // A one-time notification, as asked for by the enter rule.
            if (trackingLeave_) {
                trackingLeave_ = false;
                translator_->pointerLeft();
            }
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            if (keyChanged(message, wParam, lParam)) return 0;
            break;
        case WM_ACTIVATE:
            focused_ = LOWORD(wParam) != WA_INACTIVE;
            minimised_ = HIWORD(wParam) != 0;
            followActivation(focused_);
            updateActivation();
            return 0;
        case WM_SIZE:
            // Restoring a minimised window comes after its activation.
            if (wParam == SIZE_MINIMIZED || wParam == SIZE_RESTORED) {
                minimised_ = wParam == SIZE_MINIMIZED;
                updateActivation();
            }
            return 0;
        case WM_SYSCOMMAND:
            // The size is fixed: a maximise request switches to full screen, or with no switching does
            // nothing. The window menu's close item comes back as WM_CLOSE.
            if ((wParam & 0xFFF0) == SC_MAXIMIZE) {
                if (!(flags_ & ScreenNoSwitch)) toggleFullScreen();
                return 0;
            }
            break;
        case WM_CLOSE:
            // A request only: the window stays until the program ends or closes the screen.
            translator_->closeRequested();
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

void Win32Backend::buttonChanged(UINT message, WPARAM wParam) {
    std::int32_t button = 0;
    bool down = false, doubleClick = false;
    switch (message) {
        case WM_LBUTTONDBLCLK:
            doubleClick = true;
            [[fallthrough]];
        case WM_LBUTTONDOWN:
            down = true;
            [[fallthrough]];
        case WM_LBUTTONUP:
            button = LeftButton;
            break;
        case WM_RBUTTONDBLCLK:
            doubleClick = true;
            [[fallthrough]];
        case WM_RBUTTONDOWN:
            down = true;
            [[fallthrough]];
        case WM_RBUTTONUP:
            button = RightButton;
            break;
        case WM_MBUTTONDBLCLK:
            doubleClick = true;
            [[fallthrough]];
        case WM_MBUTTONDOWN:
            down = true;
            [[fallthrough]];
        case WM_MBUTTONUP:
            button = MiddleButton;
            break;
        case WM_XBUTTONDBLCLK:
            doubleClick = true;
            [[fallthrough]];
        case WM_XBUTTONDOWN:
            down = true;
            [[fallthrough]];
        case WM_XBUTTONUP:
            button = GET_XBUTTON_WPARAM(wParam) == XBUTTON1 ? ExtraButton1 : ExtraButton2;
            break;
        default:
            return;
    }
    if (down) {
        translator_->buttonPressed(button, doubleClick);
    } else {
        translator_->buttonReleased(button);
    }
}

// Returns true when the key was handled here and the system must not see it: F10 and Alt alone would
// open the window menu, Alt+F4 would close the window. Alt+Space still opens the window menu, Alt+Tab
// never reaches the window, and Alt+Enter switches to full screen unless switching is off.
bool Win32Backend::keyChanged(UINT message, WPARAM wParam, LPARAM lParam) {
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    const KeyNotification key = keyNotification(wParam, lParam);
    if (down) {
        translator_->keyPressed(key);
    } else {
        translator_->keyReleased(key);
    }
    const bool alt = (lParam & (1 << 29)) != 0;
    if (alt && down && wParam == VK_RETURN && !key.repeat && !(flags_ & ScreenNoSwitch)) toggleFullScreen();
    return !(alt && wParam == VK_SPACE);
}

void Win32Backend::updateActivation() {
    const bool active = focused_ && !minimised_;
    if (active == translator_->windowActive()) return;  // the system repeats itself; events mark changes
    translator_->activationChanged(focused_, minimised_, pointerOverClient());
    if (flags_ & ScreenHighPriority) {
        SetThreadPriority(GetCurrentThread(), active ? THREAD_PRIORITY_ABOVE_NORMAL : THREAD_PRIORITY_NORMAL);
    }
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

void Win32Backend::trackLeave(bool enabled) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = enabled ? TME_LEAVE : TME_LEAVE | TME_CANCEL;
    track.hwndTrack = window_;
    trackingLeave_ = TrackMouseEvent(&track) && enabled;
}

}  // namespace zopp
