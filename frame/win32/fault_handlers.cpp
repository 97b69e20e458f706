// The fault handlers: processor faults, the C run-time's signals and console control events become
// run-time errors 9 to 14, with the same reports as on other systems.
//
// Windows reports processor faults as structured exceptions, not signals. Code may raise and take its own
// (a system library probing memory, a driver's recovery), so only a fault that no handler of the faulting
// code takes is the program's end: the process's unhandled-exception filter sees it, on whichever thread
// faulted, once every frame has declined. A stack overflow is the exception: see onStackOverflow. Any
// other unhandled exception goes on to the filter that was there before. Abort and a raise() of the six
// signals come through the C run-time's signal table. Ctrl+C and closing the console arrive as console
// control events on a thread the system starts for them.
#include <windows.h>

#include <csignal>

#include "frame/fault_signals.h"
#include "frame/platform/faults.h"
#include "frame/runtime.h"
#include "frame/runtime_internal.h"

namespace zopp {

namespace {

// The exit sequence after a fault on the program's thread runs on a stack of its own (a fiber): after a
// stack overflow the thread's own stack has a page or two left, and the sequence writes the report and
// waits for the window's thread to close it. Only the pages touched take memory. The fiber lives as long
// as the process: deleting a fiber that never ran, as a thread ends, is where one system's libraries
// read freed memory now and then.
constexpr SIZE_T kFaultStackSize = 1024 * 1024;
constexpr SIZE_T kFaultStackCommit = 64 * 1024;
// Every prepared thread keeps this much of its stack for the handler after an overflow: enough to switch
// to the fault stack or, on a thread that may not end the program itself, to hand the sequence off.
constexpr ULONG kOverflowReserve = 64 * 1024;

void WINAPI faultFiberMain(void* number);

class FaultStack {
  public:
    // On the thread that will run the sequence: it becomes a fiber so that it can switch to the stack.
    void install() {
        if (fiber_ != nullptr) return;
        const bool converted = !IsThreadAFiber();
        if (converted && ConvertThreadToFiber(nullptr) == nullptr) return;
        fiber_ = CreateFiberEx(kFaultStackCommit, kFaultStackSize, 0, faultFiberMain, &number_);
        if (fiber_ == nullptr) {
            if (converted) ConvertFiberToThread();
            return;
        }
        thread_ = GetCurrentThreadId();
    }
    // Ends the program, on the fault stack when the faulting thread is the one that has it; never returns.
    [[noreturn]] void endProgram(platform::FaultError number) {
        if (fiber_ != nullptr && thread_ == GetCurrentThreadId() && !onFaultStack_) {
            onFaultStack_ = true;  // a fault in the sequence itself stays here
            number_ = number;
            SwitchToFiber(fiber_);
        }
        detail::endProgramAfterFault(number);
    }

  private:
    void* fiber_ = nullptr;
    DWORD thread_ = 0;
    bool onFaultStack_ = false;
    platform::FaultError number_ = platform::SegmentationViolation;
};

FaultStack faultStack;

void WINAPI faultFiberMain(void* number) {
    detail::endProgramAfterFault(*static_cast<const platform::FaultError*>(number));
}

struct FaultCode {
    DWORD code;
    platform::FaultError number;
};
constexpr FaultCode kFaultCodes[] = {
    {EXCEPTION_ACCESS_VIOLATION, platform::SegmentationViolation},
    {EXCEPTION_IN_PAGE_ERROR, platform::SegmentationViolation},
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

// A stack overflow is taken first in line, before any handler of the faulting code: the thread has a few
// pages left, too few to ask each of its frames (Wine ends a thread that overflows again while asking), and
// no code carries on after one without repairing its stack's guard page.
LONG CALLBACK onStackOverflow(EXCEPTION_POINTERS* exception) {
    if (exception->ExceptionRecord->ExceptionCode == EXCEPTION_STACK_OVERFLOW) {
        faultStack.endProgram(platform::SegmentationViolation);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;

LONG WINAPI onUnhandledException(EXCEPTION_POINTERS* exception) {
    const DWORD code = exception->ExceptionRecord->ExceptionCode;
    for (const FaultCode& fault : kFaultCodes) {
        if (fault.code == code) faultStack.endProgram(fault.number);
    }
    return previousFilter != nullptr ? previousFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

// Ctrl+Break is an interrupt as much as Ctrl+C; closing the console, logging off and shutting down
// request termination.
BOOL WINAPI onConsoleControl(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
            detail::endProgramAfterFault(platform::Interrupted);
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            detail::endProgramAfterFault(platform::TerminationRequest);
        default:
            return FALSE;
    }
}

}  // namespace

void platform::prepareThreadForFaults() {
    ULONG reserve = kOverflowReserve;
    SetThreadStackGuarantee(&reserve);
}

void installFaultHandlers() {
    platform::prepareThreadForFaults();
    faultStack.install();
    // Once: a second filter registration would make the filter its own predecessor, and the other lists
    // keep every registration.
    static const bool kSystemHandlers = [] {
        AddVectoredExceptionHandler(1, onStackOverflow);
        previousFilter = SetUnhandledExceptionFilter(onUnhandledException);
        SetConsoleCtrlHandler(onConsoleControl, TRUE);
        return true;
    }();
    static_cast<void>(kSystemHandlers);
    for (const detail::FaultSignal& fault : detail::kFaultSignals) {
        std::signal(fault.signal, detail::onFaultSignal);
    }
}

}  // namespace zopp
