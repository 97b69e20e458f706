// The pointer as X reports it. SDL's mouse events are not always what X reported: when the pointer leaves
// with no button held SDL makes up a motion clamped to the window's edge, and it drops a release whose
// press it did not see (pressed outside the window, released inside). On X11 the back-end takes motion,
// buttons and leaving from X's own notifications, which SDL hands over as window-manager events.
#pragma once

#include <SDL.h>

#include <deque>

#include "screen/backend/event_translator.h"
#include "screen/sdl/sdl_pointer.h"

namespace zopp {

class X11Pointer {
  public:
    // display and xWindow: SDL's X connection and the window's X id. Asks SDL for X's notifications;
    // they are decoded as SDL reads them (XInput's motion data lives only that long).
    X11Pointer(void* display, unsigned long xWindow);
    ~X11Pointer();
    X11Pointer(const X11Pointer&) = delete;
    X11Pointer& operator=(const X11Pointer&) = delete;

    // Call for each SDL_SYSWMEVENT taken from SDL's queue: the window-manager events kept in the queue are
    // the pointer notifications, in order with SDL's other events.
    void translateNext(EventTranslator& translator);

  private:
    static int SDLCALL keepPointerNotifications(void* self, SDL_Event* event);
    bool decode(const SDL_SysWMmsg& message);

    unsigned long window_;
    int inputExtension_ = -1;  // XInput's major opcode, or -1 without it
    std::deque<PointerNotification> decoded_;
};

}  // namespace zopp
