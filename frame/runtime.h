// The run-time frame around the game: start-up, the processor check, run-time error reports and the
// orderly end of the program with an exit code.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <thread>

namespace zopp {

// Error numbers of the screen layer's operations, and the texts of every number the report knows.
enum RuntimeError : std::int32_t {
    IllegalFunctionCall = 1,
    FileNotFound = 2,
    FileIoError = 3,
};
extern const std::array<std::string_view, 18> runtimeErrorMessages;

// Records the argument list and the compatibility level (0 for the game; it picks the default random
// generator).
void initRuntime(int argc, char** argv, std::int32_t compatibilityLevel);
int runtimeArgumentCount();
char** runtimeArguments();
std::int32_t compatibilityLevel();

// SIGINT, SIGILL, SIGFPE, SIGSEGV, SIGTERM and SIGABRT end the program with error numbers 9 to 14 and a
// report without line or module. The handler runs on an alternate stack (for the calling thread here, for
// other threads through forbidExitOnCurrentThread), so a stack overflow there still reports.
void installFaultHandlers();

// Processor family number in the top four bits (the identification signature shifted left by 20, the low
// 28 bits of the feature flags below). Computed once.
std::uint32_t processorFamily();

// Writes text to the console (file number 0 = standard output), followed by "\r\n" when mask is 1.
// Returns 0, IllegalFunctionCall for any other file number (the frame opens no files) or FileIoError
// when the write fails, and stores the result as errorNumber().
std::int32_t printLine(std::int32_t fileNumber, std::string_view text, std::int32_t mask);

// The number the last checked operation returned: 0 after a success, the error number after a failure.
std::int32_t errorNumber();
void setErrorNumber(std::int32_t number);
// Stores result as errorNumber() and returns it; every checked operation returns through it.
inline std::int32_t storeErrorNumber(std::int32_t result) {
    setErrorNumber(result);
    return result;
}

// Builds the report for errorNumber(), the line (≤ 0 = none) and the module text (null or empty = none),
// at most 1023 characters, then ends the program with the error number as exit code. The continuation
// points only matter with an error handler, which this program never installs.
[[noreturn]] void raiseRuntimeError(std::int32_t line, const char* module,
                                    const void* failedStatement = nullptr,
                                    const void* nextStatement = nullptr);

// The exit sequence: exit hooks run latest registered first, then the pending report (if any) goes to
// standard error unchanged (and where that leads nowhere a person reads, on Windows, also to a message box
// that holds the end until confirmed), then the process ends with the code (its low 8 bits, as the system
// keeps them). Each hook runs once. If the sequence is re-entered on its own thread (a hook ends the
// program or faults) or a fault arrives while it runs, the report is written at once and the process ends
// with the report's number, or the first code when there is no report. Called on another thread while the
// sequence runs, endProgram parks that thread until the process ends.
[[noreturn]] void endProgram(std::int32_t code);
// Up to 32 hooks; returns false when the list is full. Register before the program can end. A program
// that ends through exit instead (returning from main) runs them too, in the same order, before the
// destructors of the statics that existed when the first hook was registered.
bool registerExitHook(void (*hook)());

// The report text waiting for the end of the program; empty when there was no error.
std::string_view pendingReport();

// The screen's refresh thread must not run the exit sequence (closing the screen joins it). endProgram
// called on a thread marked here hands the sequence to another thread and parks the caller for good; so
// does a fault signal arriving on it. The first call starts that other thread (idle until needed). Also
// gives the calling thread its own alternate signal stack, so a stack overflow on it still reaches the
// fault handler.
void forbidExitOnCurrentThread();
// True when `thread` is parked by the exit sequence (it handed the sequence off, or called endProgram while
// another thread ran it): it will never finish or release a lock, so the exit hooks must not wait for it.
bool isParkedByExit(std::thread::id thread);

// The whole start-up before the game's first statement: frame state, rounding to nearest, initRuntime,
// installFaultHandlers, and the processor check ("This program requires at least a 486 to run.", exit 1).
// Extended precision applies to x87 arithmetic only; SSE arithmetic has no precision control.
void startRuntime(int argc, char** argv, std::int32_t compatibilityLevel = 0);

// The processor check on its own: for a family number below 4 (the top four bits of processorFamily())
// prints the message with a line end on standard output (shown like the report where that leads nowhere)
// and ends the program with code 1.
void checkProcessor(std::uint32_t family);

}  // namespace zopp
