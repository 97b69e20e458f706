// The fault handlers: processor faults, the C run-time's signals and console control events become
// run-time errors 9 to 14, with the same reports as on other systems.
//
// Windows reports processor faults as structured exceptions, not signals. A vectored handler sees them
// first on whichever thread faulted; any other exception (a C++ throw, a debugger's notification) goes on
// to the handlers that were there before. Abort and a raise() of the six signals come through the C
// run-time's signal table. Ctrl+C and closing the console arrive as console control events on a thread
// the system starts for them.
#include <windows.h>

#include <csignal>

#include "frame/platform/faults.h"
#include "frame/runtime.h"
#include "frame/runtime_internal.h"

namespace zopp {

namespace {

// The exit sequence after a fault runs on a stack of its own (a fiber of the faulting thread): after a
// stack overflow the thread's own stack has a page or two left, and closing the window goes deep into
// the system's libraries. Only the pages touched take memory.
constexpr SIZE_T faultStackSize = 1024 * 1024;
constexpr SIZE_T faultStackCommit = 64 * 1024;

void WINAPI faultFiberMain(void* number);

// One per prepared thread; the thread becomes a fiber so that it can switch to the fault stack, and turns
// back into a plain thread when it ends.
class FaultStack {
  public:
    void install() {
        if (fiber_ != nullptr) return;
        const bool converted = !IsThreadAFiber();
        if (converted && ConvertThreadToFiber(nullptr) == nullptr) return;
        fiber_ = CreateFiberEx(faultStackCommit, faultStackSize, 0, faultFiberMain, &number_);
        if (fiber_ == nullptr && converted) ConvertFiberToThread();
        converted_ = converted && fiber_ != nullptr;
    }
    ~FaultStack() {
        if (fiber_ == nullptr) return;
        DeleteFiber(fiber_);
        if (converted_) ConvertFiberToThread();
    }
    // Ends the program on the fault stack when the thread has one; never returns.
    [[noreturn]] void endProgram(platform::FaultError number) {
        if (fiber_ != nullptr && !onFaultStack_) {
            onFaultStack_ = true;  // a fault in the sequence itself stays here
            number_ = number;
            SwitchToFiber(fiber_);
        }
        detail::endProgramAfterFault(number);
    }

  private:
    void* fiber_ = nullptr;
    bool converted_ = false;
    bool onFaultStack_ = false;
    platform::FaultError number_ = platform::SegmentationViolation;
};

thread_local FaultStack faultStack;

void WINAPI faultFiberMain(void* number) {
    detail::endProgramAfterFault(*static_cast<const platform::FaultError*>(number));
}

struct FaultCode {
    DWORD code;
    platform::FaultError number;
};
constexpr FaultCode faultCodes[] = {
    {EXCEPTION_ACCESS_VIOLATION, platform::SegmentationViolation},
    {EXCEPTION_IN_PAGE_ERROR, platform::SegmentationViolation},
    {EXCEPTION_STACK_OVERFLOW, platform::SegmentationViolation},
    {EXCEPTION_ILLEGAL_INSTRUCTION, platform::IllegalInstruction},
    {EXCEPTION_PRIV_INSTRUCTION, platform::IllegalInstruction},
    {EXCEPTION_INT_DIVIDE_BY_ZERO, platform::FloatingPointError},
    {EXCEPTION_INT_OVERFLOW, platform::FloatingPointError},
    // Every unmasked floating-point trap, as the other systems' floating-point signal covers them all; on
    // x64 the SSE unit reports its traps as the "multiple" codes.
    {EXCEPTION_FLT_DIVIDE_BY_ZERO, platform::FloatingPointError},
    {EXCEPTION_FLT_OVERFLOW, platform::FloatingPointError},
    {EXCEPTION_FLT_UNDERFLOW, platform::FloatingPointError},
    {EXCEPTION_FLT_INVALID_OPERATION, platform::FloatingPointError},
    {EXCEPTION_FLT_INEXACT_RESULT, platform::FloatingPointError},
    {EXCEPTION_FLT_DENORMAL_OPERAND, platform::FloatingPointError},
    {EXCEPTION_FLT_STACK_CHECK, platform::FloatingPointError},
    {STATUS_FLOAT_MULTIPLE_FAULTS, platform::FloatingPointError},
    {STATUS_FLOAT_MULTIPLE_TRAPS, platform::FloatingPointError},
};

LONG CALLBACK onException(EXCEPTION_POINTERS* exception) {
    const DWORD code = exception->ExceptionRecord->ExceptionCode;
    for (const FaultCode& fault : faultCodes) {
        if (fault.code == code) faultStack.endProgram(fault.number);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

struct FaultSignal {
    int signal;
    platform::FaultError number;
};
constexpr FaultSignal faultSignals[] = {
    {SIGINT, platform::Interrupted},
    {SIGILL, platform::IllegalInstruction},
    {SIGFPE, platform::FloatingPointError},
    {SIGSEGV, platform::SegmentationViolation},
    {SIGTERM, platform::TerminationRequest},
    {SIGABRT, platform::AbnormalTermination},
};

extern "C" void onFaultSignal(int signal) {
    for (const FaultSignal& fault : faultSignals) {
        if (fault.signal == signal) detail::endProgramAfterFault(fault.number);
    }
}

// Ctrl+Break is an interrupt as much as Ctrl+C; closing the console, logging off and shutting down
// request termination.
BOOL WINAPI onConsoleControl(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT: detail::endProgramAfterFault(platform::Interrupted);
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT: detail::endProgramAfterFault(platform::TerminationRequest);
        default: return FALSE;
    }
}

}  // namespace

void platform::prepareThreadForFaults() {
    faultStack.install();
}

void installFaultHandlers() {
    platform::prepareThreadForFaults();
    // Both lists keep every registration: once is enough.
    static const bool systemHandlers = [] {
        AddVectoredExceptionHandler(1, onException);
        SetConsoleCtrlHandler(onConsoleControl, TRUE);
        return true;
    }();
    static_cast<void>(systemHandlers);
    for (const FaultSignal& fault : faultSignals) {
        std::signal(fault.signal, onFaultSignal);
    }
}

}  // namespace zopp
