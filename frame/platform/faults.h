// Seam: fatal faults and external stop requests become run-time errors.
//
// Each platform defines installFaultHandlers (declared in frame/runtime.h): process-wide handlers that
// call detail::endProgramAfterFault (frame/runtime_internal.h) with the number below. An invalid memory
// access and a stack overflow are SegmentationViolation; floating-point and integer division by zero and
// overflow are FloatingPointError; any other fault goes on to the handler that was there before. POSIX
// uses signals on an alternate stack; Win32 uses the unhandled-exception filter for processor faults, the C
// run-time's signals for abort, and the console control handler for Ctrl+C (Interrupted) and a console
// close or log-off (TerminationRequest); the browser has no signals and may install nothing.
#pragma once

#include <cstdint>

namespace zopp::platform {

enum FaultError : std::int32_t {
    Interrupted = 9,
    IllegalInstruction = 10,
    FloatingPointError = 11,
    SegmentationViolation = 12,
    TerminationRequest = 13,
    AbnormalTermination = 14,
};

// Prepares the calling thread so that a fault on it, a stack overflow included, still reaches the
// handlers with room to run the exit sequence (POSIX: its own alternate signal stack, released when the
// thread ends; Win32: a stack guarantee). Idempotent; a no-op where nothing is needed.
void prepareThreadForFaults();

}  // namespace zopp::platform
