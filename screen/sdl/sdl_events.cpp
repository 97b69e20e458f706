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
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        switch (event.type) {
            case SDL_SYSWMEVENT:
                if (x11Pointer_) x11Pointer_->translateNext(translator);
                break;
            case SDL_MOUSEMOTION: {
                if (x11Pointer_) break;
                if (event.motion.windowID != windowId || event.motion.which == SDL_TOUCH_MOUSEID) break;
                int wx = 0, wy = 0;
                SDL_GetWindowPosition(window_, &wx, &wy);
                translator_->motion(event.motion.x, event.motion.y, wx + event.motion.x, wy + event.motion.y);
                break;
            }
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: {
                if (x11Pointer_) break;
                const std::int32_t button = mouseButtonCode(event.button.button);
                if (event.button.windowID != windowId || button == 0) break;
                if (event.type == SDL_MOUSEBUTTONDOWN) {
                    int wx = 0, wy = 0;
                    SDL_GetWindowPosition(window_, &wx, &wy);
                    translator_->buttonPressedAt(button, event.button.timestamp, wx + event.button.x,
                                                 wy + event.button.y);
                } else {
                    translator_->buttonReleased(button);
                }
                break;
            }
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

void SdlBackend::handleWindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE:
            translator_->closeRequested();
            break;
        case SDL_WINDOWEVENT_LEAVE:
            if (!x11Pointer_) translator_->pointerLeft();
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
            markAllDirty(*screen_);
            break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            // SDL has maximised the window already; the size is fixed.
            SDL_RestoreWindow(window_);
            translator_->maximiseRequested();
            break;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            markAllDirty(*screen_);
            break;
        default:
            break;
    }
}

}  // namespace zopp
