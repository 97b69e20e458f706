// Seam: the standby that takes the exit sequence over from a thread that must not run it (the screen's
// refresh thread, which closing the screen joins). The hooks' order, the parking rules and the report
// stay shared.
#pragma once

namespace zopp::platform {

enum class ExitStandby {
    Ready,        // waiting to be woken
    Unavailable,  // could not be prepared: a hand-off writes the report and ends at once, without hooks
    // A one-thread host (the browser): the refresh work runs on the program's own thread between its
    // steps, so no thread is forbidden, the sequence always runs in place and the hand-off is a no-op.
    NotNeeded,
};

// Prepares a standby that runs `sequence` (which never returns) when woken. Called once, on an ordinary
// thread, before a hand-off can be needed.
ExitStandby startExitStandby(void (*sequence)());

// Wakes a Ready standby. Safe inside a fault handler (POSIX: async-signal-safe). False when it failed.
bool wakeExitStandby();

// Stops the calling thread for good; the process ends elsewhere. Never returns.
[[noreturn]] void parkThreadForever();

}  // namespace zopp::platform
