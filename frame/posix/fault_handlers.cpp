// The fault handlers: six signals become run-time errors 9 to 14.
//
// Linux already delivers processor faults as signals (invalid access and stack overflow as SIGSEGV,
// integer and floating-point division faults as SIGFPE), so no separate fault mapping is needed. The
// handler runs on an alternate stack, as a stack overflow leaves no room on the thread's own.
#include <signal.h>
#include <sys/mman.h>

#include "frame/fault_signals.h"
#include "frame/platform/faults.h"
#include "frame/runtime.h"

namespace zopp {

namespace {

// Room for the exit hooks too: on the thread that faulted they run on this stack (closing the window goes
// deep into the windowing libraries). Only the pages touched take memory.
constexpr std::size_t kAlternateStackSize = 1024 * 1024;

// One per thread; restores the stack that was there before (a sanitizer's, say) when the thread ends.
class AlternateSignalStack {
  public:
    void install() {
        if (memory_ != nullptr) {
            return;
        }
        void* memory =
            ::mmap(nullptr, kAlternateStackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED) {
            return;  // the handlers still work, only not for a stack overflow
        }
        stack_t stack{};
        stack.ss_sp = memory;
        stack.ss_size = kAlternateStackSize;
        if (::sigaltstack(&stack, &previous_) != 0) {
            ::munmap(memory, kAlternateStackSize);
            return;
        }
        memory_ = memory;
    }
    ~AlternateSignalStack() {
        if (memory_ == nullptr) {
            return;
        }
        ::sigaltstack(&previous_, nullptr);
        ::munmap(memory_, kAlternateStackSize);
    }

  private:
    void* memory_ = nullptr;
    stack_t previous_{};
};

thread_local AlternateSignalStack alternateStack;

}  // namespace

void platform::prepareThreadForFaults() {
    alternateStack.install();
}

void installFaultHandlers() {
    platform::prepareThreadForFaults();
    struct sigaction action {};
    action.sa_handler = detail::onFaultSignal;
    sigemptyset(&action.sa_mask);
    // SA_NODEFER: a fault inside the exit sequence that a fault started must reach the handler again (and
    // end the process with the report) rather than kill it silently with the signal still blocked.
    action.sa_flags = SA_ONSTACK | SA_NODEFER;
    for (const detail::FaultSignal& fault : detail::kFaultSignals) {
        ::sigaction(fault.signal, &action, nullptr);
    }
}

}  // namespace zopp
