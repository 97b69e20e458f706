// The window's notifications, as SDL reports them, passed on to the event translator.
#include "frame/events.h"
#include "screen/backend/event_translator.h"
#include "screen/sdl/sdl_backend.h"
#include "screen/sdl/sdl_keys.h"

namespace zopp {

void SdlBackend::pumpInput(EventTranslator& translator) {
    translator_ = &translator;
    const Uint32 windowId = SDL_GetWindowID(window_);
    // One read of the display per cycle; polling would read it again for every event.
    SDL_PumpEvents();
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, kLastSdlInputEvent) > 0) {
        switch (event.type) {
            case SDL_SYSWMEVENT:
                if (x11Pointer_) x11Pointer_->translateNext(translator);
                break;
            case SDL_MOUSEMOTION:
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                if (!x11Pointer_) translateSdlPointer(event);
                break;
            case SDL_MOUSEWHEEL: {
                if (event.wheel.windowID != windowId) break;
                const int sign = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
                if (event.wheel.y != 0) translator_->wheel(sign * event.wheel.y);
                if (event.wheel.x != 0) translator_->horizontalWheel(sign * event.wheel.x);
                break;
            }
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                if (event.key.windowID != windowId) break;
                if (event.type == SDL_KEYDOWN) {
                    translator_->keyPressed(keyNotification(event.key));
                } else {
                    translator_->keyReleased(keyNotification(event.key));
                }
                break;
            case SDL_WINDOWEVENT:
                if (event.window.windowID == windowId) handleWindowEvent(event.window);
                break;
            default:
                // SDL_QUIT follows the window's close event: the close was already translated once.
                break;
        }
    }
}

// Without X the pointer comes from SDL's mouse events, which pass the same way as X's notifications. Where
// the platform gives no desktop position (Wayland), the window's position SDL keeps stands in: the
// distances between motions stay right.
void SdlBackend::translateSdlPointer(const SDL_Event& event) {
    const Uint32 windowId = SDL_GetWindowID(window_);
    int wx = 0, wy = 0;
    SDL_GetWindowPosition(window_, &wx, &wy);
    PointerNotification n;
    if (event.type == SDL_MOUSEMOTION) {
        const SDL_MouseMotionEvent& motion = event.motion;
        if (motion.windowID != windowId || motion.which == SDL_TOUCH_MOUSEID || madeUpOnTheWayOut(motion))
            return;
        n = {PointerNotification::Motion, motion.x, motion.y, wx + motion.x, wy + motion.y};
    } else {
        const SDL_MouseButtonEvent& button = event.button;
        n.button = mouseButtonCode(button.button);
        if (button.windowID != windowId || n.button == 0) return;
        n.kind =
            event.type == SDL_MOUSEBUTTONDOWN ? PointerNotification::Press : PointerNotification::Release;
        n.rootX = wx + button.x;
        n.rootY = wy + button.y;
        n.time = button.timestamp;
    }
    translatePointer(n, *translator_);
}

// A motion out of the window that nothing captures reaches SDL as a position clamped to the window's edge,
// just before SDL's leave of the window: the pointer is not where that motion says.
bool SdlBackend::madeUpOnTheWayOut(const SDL_MouseMotionEvent& motion) const {
    const bool onEdge =
        motion.x == 0 || motion.y == 0 || motion.x == clientWidth_ - 1 || motion.y == clientHeight_ - 1;
    SDL_Event next;
    return onEdge && SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, kLastSdlInputEvent) > 0 &&
           next.type == SDL_WINDOWEVENT && next.window.event == SDL_WINDOWEVENT_LEAVE &&
           next.window.windowID == motion.windowID;
}

void SdlBackend::handleWindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE:
            translator_->closeRequested();
            break;
        case SDL_WINDOWEVENT_LEAVE:
            if (!x11Pointer_) translatePointer({PointerNotification::Leave}, *translator_);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST:
            translator_->focusChanged(event.event == SDL_WINDOWEVENT_FOCUS_GAINED);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            translator_->minimisedChanged(true);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            translator_->minimisedChanged(false);
            translator_->areaExposed(0, clientHeight_);
            break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            // SDL has maximised the window already; the size is fixed.
            SDL_RestoreWindow(window_);
            translator_->maximiseRequested();
            break;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            translator_->areaExposed(0, clientHeight_);  // SDL names no area: the whole window
            break;
        default:
            break;
    }
}

}  // namespace zopp
