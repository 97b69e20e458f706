// Event records and the queue that carries them from the screen's refresh loop to the program.
#pragma once

#include <cstdint>

namespace zopp {

enum ScreenEventType : std::int32_t {
    KeyDown = 1,
    KeyUp = 2,
    KeyRepeat = 3,
    PointerMove = 4,
    ButtonDown = 5,
    ButtonUp = 6,
    DoubleClick = 7,
    Wheel = 8,
    PointerEnter = 9,
    PointerLeave = 10,
    FocusGained = 11,
    FocusLost = 12,
    CloseRequest = 13,
    HorizontalWheel = 14,
};

enum MouseButton : std::int32_t {
    LeftButton = 1,
    RightButton = 2,
    MiddleButton = 4,
    ExtraButton1 = 8,
    ExtraButton2 = 16,
};

// Five signed 32-bit values. Slot 1 is x, scanCode, button, wheel or hwheel; slot 2 y or character; a
// slot the event type does not name carries no defined value.
struct ScreenEvent {
    std::int32_t type;
    std::int32_t x;  // also scanCode, button, wheel, hwheel
    std::int32_t y;  // also character
    std::int32_t dx;
    std::int32_t dy;

    // Slot 1 under the names the other event types give it.
    std::int32_t button() const { return x; }
    std::int32_t scanCode() const { return x; }
    std::int32_t wheel() const { return x; }
    std::int32_t character() const { return y; }
};
static_assert(sizeof(ScreenEvent) == 20);

// The queue exists while a screen is open; the screen layer creates and discards it.
void openEventQueue();
void closeEventQueue();

// Takes the oldest event into *event and returns -1; returns 0 when none is waiting or no queue exists.
// A null event only peeks: -1 if one is waiting, nothing removed.
std::int32_t pollEvent(ScreenEvent* event);

// Appends an event; when the ring is full the oldest is dropped.
void postEvent(const ScreenEvent& event);

// What the latest pollEvent did, as long as nothing has taken that mark since; taking it resets it to
// Unmarked (also the mark of a poll that only peeked at a waiting event). The sleep's rules read it: only
// a sleep right after an empty poll waits for the next event, and one right after a poll that took an
// event ends at once while another waits.
enum class PollMark { Unmarked, FoundNothing, TookEvent };
PollMark takePollMark();

// While a queue exists and holds no event, sleeps until an event is posted, the queue is closed or
// wakeIdleProgram is called; returns at once when an event is waiting. False at once when there is no queue.
// Only the program's thread waits here.
bool waitWhileQueueEmpty();

// Sleeps at most ms milliseconds, less when an event is posted or the queue is closed meanwhile; events
// already waiting end it at once only with `waitingEndsIt`. False at once when there is no queue. Only the
// program's thread waits here.
bool waitForPostWithin(std::int32_t ms, bool waitingEndsIt);

// Ends the program's wait for an event once, now or at its next, without posting one: work that came from
// outside the window (a request the platform took from the person).
void wakeIdleProgram();

}  // namespace zopp
