// Faults in a page: WebAssembly has no signals. A trap (or a JavaScript stack overflow) leaves the
// program's code as an exception that reaches the page's error handlers; those map it to the error number
// of the signal the same fault raises natively and run the exit sequence with it. Integer division by
// zero or overflow and an unrepresentable float conversion are floating-point errors; an access outside
// the memory, a bad indirect call and a stack overflow are segmentation violations; an unreachable
// instruction is an illegal instruction and an abort an abnormal termination. Null pointers are valid
// addresses in WebAssembly, so reading through one does not fault.
#include <emscripten.h>

#include "frame/platform/faults.h"
#include "frame/runtime.h"
#include "frame/runtime_internal.h"

// page_frame.js
extern "C" void zoppCatchFaults(std::int32_t illegal, std::int32_t floating, std::int32_t segmentation,
                                std::int32_t abnormal);

// The page's fault handlers call this.
extern "C" EMSCRIPTEN_KEEPALIVE void zoppEndProgramAfterFault(std::int32_t number) {
    zopp::detail::endProgramAfterFault(number);
}

namespace zopp {

void installFaultHandlers() {
    zoppCatchFaults(platform::IllegalInstruction, platform::FloatingPointError,
                    platform::SegmentationViolation, platform::AbnormalTermination);
}

namespace platform {

void prepareThreadForFaults() {}

}  // namespace platform

}  // namespace zopp
