// A small program around the run-time frame, run as a subprocess by the frame tests: each case (the first
// argument) ends the program in one particular way.
#include <signal.h>
#include <unistd.h>

#include <cfenv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <thread>

#include "frame/events.h"
#include "frame/runtime.h"
#include "frame/timing.h"

namespace {

using zopp::endProgram;
using zopp::raiseRuntimeError;
using zopp::registerExitHook;

constexpr const char* kModuleText = "game/ZOPP.cpp";

void mark(std::string_view text) {
    [[maybe_unused]] auto n = ::write(STDERR_FILENO, text.data(), text.size());
}

// Faults the sanitizers must not intercept: they have to reach the frame's handlers as real signals.
__attribute__((no_sanitize("address", "undefined"), noinline)) void invalidAccess() {
    static volatile std::uintptr_t unmapped = 16;  // hidden from the compiler's bounds analysis
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the fault is the point
    *reinterpret_cast<volatile int*>(unmapped) = 1;
}

__attribute__((no_sanitize("address", "undefined"), noinline)) int overflowStack(int depth) {
    static volatile int bottomless = -1;  // never reached, but the compiler cannot know
    if (depth == bottomless) {
        return 0;
    }
    volatile char frame[512];
    frame[0] = static_cast<char>(depth);
    return overflowStack(depth + 1) + frame[0];
}

__attribute__((no_sanitize("address", "undefined"), noinline)) int divideByZero() {
    volatile int zero = 0;
    return 7 / zero;
}

void fault(std::string_view kind) {
    if (kind == "access") {
        invalidAccess();
    }
    if (kind == "overflow") {
        std::printf("%d", overflowStack(0));
    }
    if (kind == "divide") {
        std::printf("%d", divideByZero());
    }
}

std::thread::id forbiddenThread;

void reportHookThread() {
    mark(std::this_thread::get_id() == forbiddenThread ? "[hook on forbidden thread]" : "[hook elsewhere]");
    mark(zopp::isParkedByExit(forbiddenThread) ? "[caller parked]" : "[caller running]");
}

// The program's event loop with a screen's queue open and nothing happening: it sleeps in the idle wait.
[[noreturn]] void idleEventLoop() {
    zopp::reactOnlyToWindowEvents();
    zopp::ScreenEvent event{};
    for (;;) {
        zopp::pollEvent(&event);
        zopp::sleepMs(2);
    }
}

// A thread like the screen's refresh thread, ending the program (or faulting) itself while this thread
// joins it or, `idle`, waits for events that will never come.
[[noreturn]] void endOnForbiddenThread(std::string_view how, bool idle) {
    registerExitHook(reportHookThread);
    if (idle) {
        zopp::openEventQueue();
    }
    std::thread thread([how, idle] {
        // Set here, not from the creator: the hook may run before std::thread's constructor returns.
        // Starting the exit thread afterwards makes the value visible to the hook.
        forbiddenThread = std::this_thread::get_id();
        zopp::forbidExitOnCurrentThread();
        if (idle) {
            usleep(100000);  // the program's thread is in its idle wait by then
        }
        if (how == "exit") {
            endProgram(7);
        }
        fault(how);
    });
    if (idle) {
        idleEventLoop();
    }
    thread.join();  // never returns: the thread is parked and the process ends elsewhere
    std::abort();
}

// A signal reaching the program's thread while it waits for events that will never come.
[[noreturn]] void signalWhileIdle(int number) {
    zopp::openEventQueue();
    std::thread([number, program = pthread_self()] {
        usleep(100000);
        pthread_kill(program, number);
    }).detach();
    idleEventLoop();
}

std::thread::id lateThreads[2];

// Two other threads end the program while the exit sequence runs on this one: each waits for the end.
void startLateExit() {
    for (std::thread::id& id : lateThreads) {
        std::thread thread([] { endProgram(9); });
        id = thread.get_id();
        thread.detach();
    }
    const auto parked = [] {
        return zopp::isParkedByExit(lateThreads[0]) && zopp::isParkedByExit(lateThreads[1]);
    };
    for (int i = 0; i < 200 && !parked(); ++i) {
        usleep(5000);
    }
    mark(parked() ? "[late threads parked]" : "[late threads running]");
}

void printStartState(int argc, char** argv) {
    std::printf("args=%d first=%s level=%d nearest=%d error=%d", argc, argv[1], zopp::compatibilityLevel(),
                std::fegetround() == FE_TONEAREST ? 1 : 0, zopp::errorNumber());
#if defined(__i386__) || defined(__x86_64__)
    unsigned short control = 0;
    asm volatile("fnstcw %0" : "=m"(control));
    std::printf(" precision=%u", (control >> 8) & 3u);
#endif
}

// What start-up has to undo: a stale error number, other rounding, double precision on the x87.
void disturbStartState() {
    zopp::setErrorNumber(5);
    std::fesetround(FE_UPWARD);
#if defined(__i386__) || defined(__x86_64__)
    unsigned short control = 0;
    asm volatile("fnstcw %0" : "=m"(control));
    control = static_cast<unsigned short>((control & ~0x0300u) | 0x0200u);
    asm volatile("fldcw %0" : : "m"(control));
#endif
}

// Tells when the program's statics are destroyed.
struct MarkedDestruction {
    ~MarkedDestruction() { mark("[static destroyed]"); }
};

const std::map<std::string_view, int> kSignalsByName = {
    {"INT", SIGINT},   {"ILL", SIGILL},   {"FPE", SIGFPE},
    {"SEGV", SIGSEGV}, {"TERM", SIGTERM}, {"ABRT", SIGABRT},
};

}  // namespace

// Cases:
//   error N LINE MODULE|-     raiseRuntimeError with errorNumber N (MODULE "-" = none)
//   signal INT|ILL|FPE|SEGV|TERM|ABRT, fault access|overflow|divide
//   hooks-then-error, clean-exit, old-processor, start-state, print-line
//   forbidden-thread exit|access|overflow, idle-forbidden-thread exit|access, idle-signal INT|TERM,
//   hook-faults, hook-faults-after-error|fault, hook-ends-program,
//   late-exit, return-from-main
int main(int argc, char** argv) {
    disturbStartState();
    zopp::startRuntime(argc, argv);
    const std::string_view name = argc > 1 ? argv[1] : "";
    const std::string_view arg = argc > 2 ? argv[2] : "";

    if (name == "error" && argc == 5) {
        zopp::setErrorNumber(std::atoi(argv[2]));
        raiseRuntimeError(std::atoi(argv[3]), std::strcmp(argv[4], "-") == 0 ? nullptr : argv[4]);
    }
    if (name == "signal" && kSignalsByName.contains(arg)) {
        (void)::raise(kSignalsByName.at(arg));
    }
    if (name == "fault") {
        fault(arg);
    }
    if (name == "hooks-then-error") {
        registerExitHook([] { mark("[hook 1]"); });
        registerExitHook([] { mark("[hook 2]"); });
        registerExitHook([] { mark("[hook 3]"); });
        zopp::setErrorNumber(zopp::FileNotFound);
        raiseRuntimeError(117, kModuleText);
    }
    if (name == "clean-exit") {
        std::printf("still buffered");
        endProgram(0);
    }
    if (name == "old-processor") {
        zopp::checkProcessor(3);
    }
    if (name == "start-state") {
        printStartState(argc, argv);
        endProgram(0);
    }
    if (name == "print-line") {
        zopp::printLine(0, "abc", 0);
        zopp::printLine(0, "def", 1);
        const std::int32_t written = zopp::printLine(0, "ghi", 2);
        const std::int32_t result = zopp::printLine(3, "lost", 1);
        std::printf("|%d %d %d", written, result, zopp::errorNumber());
        endProgram(0);
    }
    if (name == "forbidden-thread" || name == "idle-forbidden-thread") {
        endOnForbiddenThread(arg, name == "idle-forbidden-thread");
    }
    if (name == "idle-signal" && kSignalsByName.contains(arg)) {
        signalWhileIdle(kSignalsByName.at(arg));
    }
    if (name == "hook-faults" || name == "hook-faults-after-error" || name == "hook-faults-after-fault") {
        registerExitHook([] { mark("[first hook]"); });
        registerExitHook([] {
            mark("[faulting hook]");
            invalidAccess();
        });
        if (name == "hook-faults") {
            endProgram(0);
        }
        if (name == "hook-faults-after-fault") {
            invalidAccess();
        }
        zopp::setErrorNumber(zopp::FileNotFound);
        raiseRuntimeError(117, kModuleText);
    }
    if (name == "hook-ends-program") {
        registerExitHook([] { mark("[first hook]"); });
        registerExitHook([] {
            mark("[ending hook]");
            endProgram(5);
        });
        endProgram(3);
    }
    if (name == "late-exit") {
        registerExitHook(startLateExit);
        endProgram(4);
    }
    if (name == "return-from-main") {
        static MarkedDestruction createdBeforeTheHooks;
        registerExitHook([] { mark("[hook 1]"); });
        registerExitHook([] { mark("[hook 2]"); });
        return 0;
    }
    mark("unknown or failed case");
    return 99;
}
