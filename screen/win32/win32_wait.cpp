#include "screen/win32/win32_wait.h"

#include "screen/win32/win32_backend.h"

namespace zopp {

bool Win32Wait::wait(std::optional<std::chrono::nanoseconds> timeout) {
    DWORD milliseconds = INFINITE;
    if (timeout) {
        // Rounded up: a wait that ends before its time would only wait again.
        milliseconds = static_cast<DWORD>(std::chrono::ceil<std::chrono::milliseconds>(*timeout).count());
    }
    // MWMO_INPUTAVAILABLE: messages already queued but not yet read end the wait too. The wake event, when
    // there is one, comes first in the list, so the messages are the last object.
    const DWORD count = wakeEvent_ != nullptr ? 1 : 0;
    const DWORD ended =
        MsgWaitForMultipleObjectsEx(count, &wakeEvent_, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (ended != WAIT_OBJECT_0 + count && ended != WAIT_FAILED) return false;
    messagesWaiting_ = true;
    // A timer alone is no input: the system's own watch for the pointer leaving the window ticks for as
    // long as the pointer rests inside, and taking it for input would keep the loop from going idle.
    const DWORD queued = HIWORD(GetQueueStatus(QS_ALLINPUT));
    return ended == WAIT_FAILED || (queued & ~static_cast<DWORD>(QS_TIMER)) != 0;
}

void Win32Wait::wake() {
    if (wakeEvent_ != nullptr) SetEvent(wakeEvent_);
}

// Every waiting message of the thread, its window's included; the window procedure turns them into
// events. Sent messages from other threads are delivered inside PeekMessage as well.
void Win32Backend::pumpInput(EventTranslator& translator) {
    translator_ = &translator;
    if (!waiter_.messagesWaiting()) return;
    waiter_.messagesTaken();
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
}

}  // namespace zopp
