// The standby is a thread started beforehand that waits on an event: setting one is safe inside an
// exception handler, starting a thread there is not (the loader lock may be held).
#include "frame/platform/exit_standby.h"

#include <windows.h>

namespace zopp::platform {

namespace {

HANDLE handOffRequest = nullptr;
void (*standbySequence)() = nullptr;

DWORD WINAPI standbyThreadMain(void*) {
    WaitForSingleObject(handOffRequest, INFINITE);
    standbySequence();
    return 0;
}

}  // namespace

ExitStandby startExitStandby(void (*sequence)()) {
    handOffRequest = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (handOffRequest == nullptr) return ExitStandby::Unavailable;
    standbySequence = sequence;
    const HANDLE thread = CreateThread(nullptr, 0, standbyThreadMain, nullptr, 0, nullptr);
    if (thread == nullptr) return ExitStandby::Unavailable;
    CloseHandle(thread);
    return ExitStandby::Ready;
}

bool wakeExitStandby() {
    return SetEvent(handOffRequest) != 0;
}

void parkThreadForever() {
    for (;;)
        Sleep(INFINITE);
}

}  // namespace zopp::platform
