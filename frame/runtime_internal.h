// Pieces of the run-time frame shared between its own files; not for use outside frame/.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zopp::detail {

// Formats the report for error number `number`, `line` (≤ 0 = none) and `module` (null or empty = none)
// into `out`, at most `capacity` - 1 characters plus a terminating zero. Returns the length written.
// Allocates nothing and calls no library formatting, so signal handlers may use it.
std::size_t formatRuntimeReport(char* out, std::size_t capacity, std::int32_t number, std::int32_t line,
                                const char* module);

// Fills the pending report unless one is already there. True when this call filled it.
bool storeReport(std::int32_t number, std::int32_t line, const char* module);
// The number of the stored report, or false when there is none.
bool storedReportNumber(std::int32_t& number);

// The exit sequence as a fault handler enters it (each platform's handlers call it): a fault while the
// program is already ending writes the pending report and ends the process at once instead of running
// the hooks again.
[[noreturn]] void endProgramAfterFault(std::int32_t number);

// A plain sleep of at least `ms` (> 0) milliseconds for the program, after the registered before-sleep hook.
void sleepForProgram(std::int32_t ms);

// Clears the error state and the start-up values.
void resetRuntimeState();

// Floating-point rounding to nearest; on x86 also the x87 precision control set to a 64-bit mantissa.
void useNearestExtendedRounding();

}  // namespace zopp::detail
