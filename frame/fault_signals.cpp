#include "frame/fault_signals.h"

#include "frame/runtime_internal.h"

namespace zopp::detail {

extern "C" void onFaultSignal(int signal) {
    for (const FaultSignal& fault : kFaultSignals) {
        if (fault.signal == signal) endProgramAfterFault(fault.number);
    }
}

}  // namespace zopp::detail
