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

extern "C" EMSCRIPTEN_KEEPALIVE void zoppEndProgramAfterFault(std::int32_t number) {
    zopp::detail::endProgramAfterFault(number);
}

namespace zopp {

namespace {

EM_JS(void, catchFaultsInPage, (int illegal, int floating, int segmentation, int abnormal), {
    if (typeof window === 'undefined') return;
    const numberOf = (error) => {
        if (error instanceof RangeError && /call stack/i.test(error.message)) return segmentation;
        if (!(error instanceof WebAssembly.RuntimeError)) return 0;
        const message = error.message;
        if (/^Aborted/.test(message)) return abnormal;
        if (/unreachable/.test(message)) return illegal;
        if (/divide by zero|remainder by zero|integer overflow|unrepresentable/.test(message)) return floating;
        if (/out of bounds|signature mismatch|null function/.test(message)) return segmentation;
        return 0;
    };
    const handle = (event, error) => {
        const number = numberOf(error);
        if (number === 0) return;
        event.preventDefault();
        try {
            Module._zoppEndProgramAfterFault(number);
        } catch (end) {
            if (!(end instanceof ExitStatus)) throw end;  // the program's end, as intended
        }
    };
    window.addEventListener('error', event => handle(event, event.error));
    window.addEventListener('unhandledrejection', event => handle(event, event.reason));
});

}  // namespace

void installFaultHandlers() {
    catchFaultsInPage(platform::IllegalInstruction, platform::FloatingPointError,
                      platform::SegmentationViolation, platform::AbnormalTermination);
}

namespace platform {

void prepareThreadForFaults() {}

}  // namespace platform

}  // namespace zopp
