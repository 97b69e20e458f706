// What a platform does for the screen layer: its window, the transfer of frame-buffer lines into it, its
// input, and waiting for input. The shared refresh loop (screen/window/refresh_loop.h) owns the schedule, the
// thread and the screen lock around these calls; a back-end names no type of the layer above it and
// starts no thread of its own.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "frame/timing.h"
#include "screen/backend/event_translator.h"
#include "screen/backend/presenter.h"

namespace zopp {

struct ScreenState;

// Where the refresh loop runs on a platform.
enum class LoopHost {
    // A thread of the loop's own creates the window, then waits in waitForInput between refreshes.
    OwnThread,
    // The thread that opens the screen creates the window; the back-end is handed the loop's step
    // (takeStep), which its platform's callbacks call, and every sleep of the program calls it first.
    // For a host that must never block, such as a browser page.
    Stepped,
};

// One cycle of the loop: presents what changed and passes the platform's input on. Takes the screen lock.
using LoopStep = std::function<void()>;

// One open screen's window on a platform. The pointer methods it inherits serve the event translator,
// which calls them with the screen lock held. What a platform has no use for (a title, input, sound, full
// screen) does nothing unless overridden: a window-less back-end writes only its window and transfer.
class Backend : public WindowPlatform {
  public:
    virtual LoopHost loopHost() const { return LoopHost::OwnThread; }
    // A Stepped host receives the loop's step after its window was created, and an empty one before it is
    // destroyed; it calls the step from its platform's callbacks, never from inside a call of the loop.
    virtual void takeStep(const LoopStep&) {}

    // Creates and shows the window for `screen` (its size and open flags) with the title; what the
    // platform reports meanwhile goes to the translator. False when the platform cannot: the loop then
    // calls destroyWindow() and the layer tries the next back-end. Screen lock held.
    virtual bool createWindow(ScreenState& screen, std::int32_t refreshRate, std::string_view title,
                              EventTranslator& translator) = 0;
    // Closes the window and releases what createWindow acquired (also after it failed). Screen lock held.
    virtual void destroyWindow() {}

    // What receives the changed lines of each frame, converted and at the loop's factor. Asked at every
    // frame, with the screen lock held.
    virtual Presenter& presenter() = 0;
    // A frame reached the window at factor k: a shaped window follows its pixels. Screen lock held.
    virtual void framePresented(std::int32_t) {}
    // The loop chose a new factor: the client area becomes width × height device pixels (the screen at
    // the factor), where the window is. Where full screen holds a display mode of the screen's size, the
    // window may keep its size. Screen lock held, on the loop's thread.
    virtual void resizeClient(std::int32_t, std::int32_t) {}
    // Reads the platform's pending notifications and passes them on to the translator. Screen lock held.
    virtual void pumpInput(EventTranslator&) {}

    // Own-thread hosts: sleeps until input may be pending, wake() was called, or the timeout passed
    // (none: no limit, so input must end it). A wake() that came before the call ends it at once, and so
    // do notifications already read from the platform into a client-side queue (by a round trip after
    // the last pump): they are input. Returns whether input may be pending, after which the loop keeps
    // to its refresh period for a while; a platform that cannot tell returns true every time. Screen
    // lock not held. Never called on a Stepped host, whose thread must not block.
    virtual bool waitForInput(std::optional<std::chrono::nanoseconds>) { return false; }
    // Ends a waitForInput early; on a Stepped host, asks for a step soon. Any thread; called after
    // drawing, so it must be cheap.
    virtual void wake() {}

    // Screen lock held, on the loop's thread.
    virtual void setTitle(std::string_view) {}
    // Between the window and full screen (the display mode of the screen's size); where the platform
    // has none, nothing. Screen lock held, on the loop's thread.
    virtual void toggleFullScreen() {}
    // The loop's own thread above normal priority, or back to normal. On the loop's thread.
    virtual void raisePriority(bool) {}

    // The platform's sound for the beep (nullptr: silence); the loop hands it to the frame while the
    // window is open.
    virtual BeepSoundHook soundOutput() const { return nullptr; }
};

// A factory returns null when its back-end refuses the open flags or cannot run here.
using BackendFactory = std::unique_ptr<Backend> (*)(std::int32_t flags);

// The platform's back-ends in the order openScreen tries them; defined in the platform's back-end folder.
std::span<const BackendFactory> platformBackendFactories();

}  // namespace zopp
