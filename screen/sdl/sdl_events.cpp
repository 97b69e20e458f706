// The window's notifications, as SDL reports them, passed on to the event translator.
#include "frame/events.h"
#include "screen/event_translator.h"
#include "screen/screen.h"
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
                if (x11Pointer_) x11Pointer_->translateNext(translator, trackingLeave_);
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
                    // Every second press of a series is the platform's double click.
                    translator_->buttonPressed(button,
                                               event.button.clicks >= 2 && event.button.clicks % 2 == 0);
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
                if (event.key.windowID == windowId) handleKey(event.key);
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

void SdlBackend::handleKey(const SDL_KeyboardEvent& event) {
    const bool altEnter = (event.keysym.mod & KMOD_ALT) &&
                          (event.keysym.sym == SDLK_RETURN || event.keysym.sym == SDLK_KP_ENTER);
    if (altEnter && event.type == SDL_KEYDOWN && !event.repeat && !(flags_ & ScreenNoSwitch))
        toggleFullScreen();
    const KeyNotification key = keyNotification(event);
    if (event.type == SDL_KEYDOWN) {
        translator_->keyPressed(key);
    } else {
        translator_->keyReleased(key);
    }
}

void SdlBackend::handleWindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE:
            translator_->closeRequested();
            break;
        case SDL_WINDOWEVENT_LEAVE:
            // A one-time notification, as asked for by the enter rule.
            if (trackingLeave_ && !x11Pointer_) {
                trackingLeave_ = false;
                translator_->pointerLeft();
            }
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            focused_ = true;
            updateActivation();
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            focused_ = false;
            updateActivation();
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            minimised_ = true;
            updateActivation();
            break;
        case SDL_WINDOWEVENT_RESTORED:
            minimised_ = false;
            updateActivation();
            markAllDirty(*screen_);
            break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            // The size is fixed: a maximise request switches to full screen, or with no switching does
            // nothing.
            SDL_RestoreWindow(window_);
            if (!(flags_ & ScreenNoSwitch)) toggleFullScreen();
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

void SdlBackend::updateActivation() {
    const bool active = focused_ && !minimised_;
    if (active == translator_->windowActive()) return;  // the platform repeats itself; events mark changes
    translator_->activationChanged(focused_, minimised_, pointerOverClient());
    if (flags_ & ScreenHighPriority) {
        SDL_SetThreadPriority(active ? SDL_THREAD_PRIORITY_HIGH : SDL_THREAD_PRIORITY_NORMAL);
    }
}

}  // namespace zopp
