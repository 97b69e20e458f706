// The exit sequence: exit hooks, the pending report, the exit code, and keeping the sequence off the
// threads that must not run it.
//
// The process ends at once (platform::endProcessNow), not through exit: the screen's refresh thread and
// other threads may still be running (or parked) and static destructors would tear down objects they
// use. Everything that has to happen at the end is an exit hook or the finaliser below; stdout is flushed
// explicitly. A program may still end through exit, returning from main: the hooks then run from an
// atexit handler, ahead of the static destructors, which may free what a hook's thread still reads.
#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "frame/platform/exit_standby.h"
#include "frame/platform/faults.h"
#include "frame/platform/process_end.h"
#include "frame/platform/unseen_output.h"
#include "frame/runtime.h"
#include "frame/runtime_internal.h"

namespace zopp {

namespace {

using ExitHook = void (*)();
constexpr std::size_t kMaxExitHooks = 32;
std::array<std::atomic<ExitHook>, kMaxExitHooks> exitHooks{};
std::atomic<std::size_t> exitHookCount{0};
std::mutex registrationMutex;
bool hooksRunAtExit = false;  // guarded by registrationMutex

std::atomic<bool> exitStarted{false};
std::atomic<std::int32_t> exitCode{0};
std::atomic<std::thread::id> exitThread{};

// A parked thread never ends, so its id is never reused for another thread.
constexpr std::size_t kMaxParkedThreads = 16;
std::array<std::atomic<std::thread::id>, kMaxParkedThreads> parkedThreads{};

thread_local bool exitForbidden = false;

// The standby that takes the sequence over from a forbidden thread; prepared by the first forbidding.
std::once_flag standbyStart;
std::atomic<platform::ExitStandby> standby{platform::ExitStandby::Unavailable};

// The frame's finaliser and the end of the process. `flush` is false when a fault interrupted the
// program mid-sequence: stdout's buffer may then be in an inconsistent state.
[[noreturn]] void finishProcess(std::int32_t code, bool flush) {
    if (flush) {
        (void)std::fflush(stdout);  // a failure has nowhere to go now
    }
    const std::string_view report = pendingReport();
    platform::writeReport(report);
    if (!report.empty()) {
        platform::showIfUnseen(platform::StandardStream::Error, report);
    }
    platform::endProcessNow(code);
}

// Ending early (a second fault, or the sequence re-entered): the code follows the report if there is one.
[[noreturn]] void finishEarly(bool flush) {
    std::int32_t code = exitCode.load();
    detail::storedReportNumber(code);
    finishProcess(code, flush);
}

void markParked() {
    const auto self = std::this_thread::get_id();
    for (auto& slot : parkedThreads) {
        std::thread::id free{};
        if (slot.compare_exchange_strong(free, self)) {
            return;
        }
    }
}

void runExitHooks() {
    exitThread.store(std::this_thread::get_id());
    // Each hook is taken off the list before it runs, so none runs twice even if the sequence is
    // re-entered from inside a hook.
    for (;;) {
        std::size_t count = exitHookCount.load();
        if (count == 0) {
            break;
        }
        if (!exitHookCount.compare_exchange_weak(count, count - 1)) {
            continue;
        }
        if (const ExitHook hook = exitHooks[count - 1].load()) {
            hook();
        }
    }
}

[[noreturn]] void runExitSequence() {
    runExitHooks();
    finishProcess(exitCode.load(), true);
}

// The end through exit. Registered when the first hook is, so the C library calls it before the
// destructors of every static that existed by then, the screen's among them. While the sequence runs on
// another thread, this one waits for that end like a late endProgram. On the sequence's own thread it
// does nothing: a platform's end of the process may call the atexit handlers itself (a page's runtime
// built to exit does).
void runExitHooksAtExit() {
    bool expected = false;
    if (exitStarted.compare_exchange_strong(expected, true)) {
        runExitHooks();
    } else if (exitThread.load() != std::this_thread::get_id()) {
        markParked();
        platform::parkThreadForever();
    }
}

void startStandby() {
    std::call_once(standbyStart, [] { standby.store(platform::startExitStandby(runExitSequence)); });
}

// Wakes the standby for the sequence and parks the caller. Marked parked first, so every hook already
// sees the mark.
[[noreturn]] void handOffExitSequence(bool flush) {
    markParked();
    // Without the standby the hooks cannot run safely from here; at least the report gets out.
    if (standby.load() != platform::ExitStandby::Ready || !platform::wakeExitStandby()) {
        finishProcess(exitCode.load(), flush);
    }
    platform::parkThreadForever();
}

[[noreturn]] void enterExitSequence(std::int32_t code, bool fault) {
    bool expected = false;
    if (!exitStarted.compare_exchange_strong(expected, true)) {
        // The program is already ending. A fault, or this thread re-entering from a hook, must not run
        // the sequence again; any other thread just waits for the process to end.
        if (fault || exitThread.load() == std::this_thread::get_id()) {
            finishEarly(!fault);
        }
        markParked();
        platform::parkThreadForever();
    }
    exitCode.store(code);
    if (exitForbidden) {
        handOffExitSequence(!fault);
    }
    runExitSequence();
}

}  // namespace

namespace detail {

void endProgramAfterFault(std::int32_t number) {
    // Not async-signal-safe from here on: the exit hooks (closing the window) and flushing stdout may take
    // locks or allocate. That is acceptable because the process is ending either way; the worst case is a
    // hang or a crash inside the sequence, and a crash comes back here as a second fault, which writes the
    // report and ends the process without running anything else. The report itself, the hand-off from a
    // forbidden thread (waking the standby), the final write and the end are async-signal-safe.
    storeReport(number, -1, nullptr);  // keeps an earlier report: the first error is the one to tell
    enterExitSequence(number, true);
}

}  // namespace detail

void endProgram(std::int32_t code) {
    enterExitSequence(code, false);
}

bool registerExitHook(void (*hook)()) {
    const std::lock_guard lock(registrationMutex);
    const std::size_t count = exitHookCount.load();
    if (count == kMaxExitHooks) {
        return false;
    }
    if (!hooksRunAtExit) {
        // Should the C library refuse, the hooks still run for every end through endProgram.
        hooksRunAtExit = std::atexit(runExitHooksAtExit) == 0;
    }
    exitHooks[count].store(hook);
    exitHookCount.store(count + 1);
    return true;
}

void forbidExitOnCurrentThread() {
    startStandby();
    exitForbidden = standby.load() != platform::ExitStandby::NotNeeded;
    platform::prepareThreadForFaults();
}

bool isParkedByExit(std::thread::id thread) {
    if (thread == std::thread::id{}) {
        return false;
    }
    for (const auto& slot : parkedThreads) {
        if (slot.load() == thread) {
            return true;
        }
    }
    return false;
}

}  // namespace zopp
