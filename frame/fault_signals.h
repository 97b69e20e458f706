// The C signals that end the program with a run-time error, the same on every system that has them
// (POSIX and Win32; a page has none). Each such platform installs onFaultSignal for every signal in the
// table, the way its system installs handlers.
#pragma once

#include <array>
#include <csignal>

#include "frame/platform/faults.h"

namespace zopp::detail {

struct FaultSignal {
    int signal;
    platform::FaultError number;
};
inline constexpr std::array<FaultSignal, 6> kFaultSignals = {{
    {SIGINT, platform::Interrupted},
    {SIGILL, platform::IllegalInstruction},
    {SIGFPE, platform::FloatingPointError},
    {SIGSEGV, platform::SegmentationViolation},
    {SIGTERM, platform::TerminationRequest},
    {SIGABRT, platform::AbnormalTermination},
}};

// The signal handler: ends the program with the signal's error number; returns for any other signal.
extern "C" void onFaultSignal(int signal);

}  // namespace zopp::detail
