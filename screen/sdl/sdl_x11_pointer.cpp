#include "screen/sdl/sdl_x11_pointer.h"

#include <SDL_syswm.h>
#include <X11/extensions/XInput2.h>

#include "frame/events.h"

namespace zopp {

namespace {

// The MouseButton code of an X button; 0 for the wheel's buttons 4 to 7 (SDL's wheel events carry those)
// and for buttons beyond the two extra ones.
std::int32_t buttonCode(unsigned int xButton) {
    switch (xButton) {
        case Button1:
            return LeftButton;
        case Button2:
            return MiddleButton;
        case Button3:
            return RightButton;
        case 8:
            return ExtraButton1;
        case 9:
            return ExtraButton2;
        default:
            return 0;
    }
}

}  // namespace

X11Pointer::X11Pointer(void* display, unsigned long xWindow) : window_(xWindow) {
    int event = 0, error = 0;
    if (!XQueryExtension(static_cast<Display*>(display), "XInputExtension", &inputExtension_, &event, &error))
        inputExtension_ = -1;
    SDL_SetEventFilter(keepPointerNotifications, this);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

X11Pointer::~X11Pointer() {
    SDL_EventState(SDL_SYSWMEVENT, SDL_IGNORE);
    SDL_SetEventFilter(nullptr, nullptr);
}

// Runs as SDL adds an event, on any thread that adds one; window-manager events come only from the
// refresh thread's pump. Keeps those that carry pointer input, each decoded in the same order.
int SDLCALL X11Pointer::keepPointerNotifications(void* self, SDL_Event* event) {
    if (event->type != SDL_SYSWMEVENT) return 1;
    return static_cast<X11Pointer*>(self)->decode(*event->syswm.msg) ? 1 : 0;
}

bool X11Pointer::decode(const SDL_SysWMmsg& message) {
    if (message.subsystem != SDL_SYSWM_X11) return false;
    const XEvent& event = message.msg.x11.event;
    PointerNotification n;
    switch (event.type) {
        case MotionNotify:
            if (event.xmotion.window != window_) return false;
            n = {PointerNotification::Motion, event.xmotion.x, event.xmotion.y, event.xmotion.x_root,
                 event.xmotion.y_root};
            break;
        case EnterNotify:
            // Where another platform sends a first motion to a window that appears under the pointer or
            // that the pointer enters, X sends only this: it counts as that motion.
            if (event.xcrossing.window != window_ || event.xcrossing.detail == NotifyInferior) return false;
            n = {PointerNotification::Motion, event.xcrossing.x, event.xcrossing.y, event.xcrossing.x_root,
                 event.xcrossing.y_root};
            break;
        case ButtonPress:
        case ButtonRelease:
            if (event.xbutton.window != window_) return false;
            n.kind = event.type == ButtonPress ? PointerNotification::Press : PointerNotification::Release;
            n.button = buttonCode(event.xbutton.button);
            if (n.button == 0) return false;
            n.rootX = event.xbutton.x_root;
            n.rootY = event.xbutton.y_root;
            n.time = static_cast<std::uint32_t>(event.xbutton.time);
            break;
        case LeaveNotify:
            if (event.xcrossing.window != window_ || event.xcrossing.detail == NotifyInferior) return false;
            n.kind = PointerNotification::Leave;
            n.grabChange = event.xcrossing.mode == NotifyGrab;
            break;
        case GenericEvent: {
            // With XInput, motion over the window arrives as its device event instead of the core one.
            const XGenericEventCookie& cookie = event.xcookie;
            if (cookie.extension != inputExtension_ || cookie.evtype != XI_Motion || !cookie.data)
                return false;
            const auto& device = *static_cast<const XIDeviceEvent*>(cookie.data);
            // Motion that a touch screen emulates is no pointer motion.
            if (device.event != window_ || (device.flags & XIPointerEmulated)) return false;
            n = {PointerNotification::Motion, static_cast<std::int32_t>(device.event_x),
                 static_cast<std::int32_t>(device.event_y), static_cast<std::int32_t>(device.root_x),
                 static_cast<std::int32_t>(device.root_y)};
            break;
        }
        default:
            return false;
    }
    decoded_.push_back(n);
    return true;
}

void X11Pointer::translateNext(EventTranslator& translator) {
    if (decoded_.empty()) return;
    const PointerNotification n = decoded_.front();
    decoded_.pop_front();
    translatePointer(n, translator);
}

}  // namespace zopp
