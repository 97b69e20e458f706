// Start-up of the run-time frame, its error state and console output.
#include "frame/runtime.h"

#include <atomic>
#include <cstdio>

#include "frame/platform/unseen_output.h"
#include "frame/runtime_internal.h"

namespace zopp {

const std::array<std::string_view, 18> runtimeErrorMessages = {
    "",
    "illegal function call",
    "file not found",
    "file I/O error",
    "out of memory",
    "illegal resume",
    "out of bounds array access",
    "null pointer access",
    "no priviledges",
    "\"interrupted\" signal",
    "\"illegal instruction\" signal",
    "\"floating point error\" signal",
    "\"segmentation violation\" signal",
    "\"termination request\" signal",
    "\"abnormal termination\" signal",
    "\"quit request\" signal",
    "return without gosub",
    "end of file",
};

namespace {

int argumentCount = 0;
char** argumentList = nullptr;
std::int32_t level = 0;
// Atomic because checked operations run on the program's thread while a report may be built elsewhere.
std::atomic<std::int32_t> lastError{0};

}  // namespace

namespace detail {

void resetRuntimeState() {
    argumentCount = 0;
    argumentList = nullptr;
    level = 0;
    lastError.store(0);
}

}  // namespace detail

void initRuntime(int argc, char** argv, std::int32_t compatibilityLevel) {
    argumentCount = argc;
    argumentList = argv;
    level = compatibilityLevel;
}

int runtimeArgumentCount() {
    return argumentCount;
}
char** runtimeArguments() {
    return argumentList;
}
std::int32_t compatibilityLevel() {
    return level;
}

std::int32_t errorNumber() {
    return lastError.load();
}
void setErrorNumber(std::int32_t number) {
    lastError.store(number);
}

std::int32_t printLine(std::int32_t fileNumber, std::string_view text, std::int32_t mask) {
    std::int32_t result = 0;
    if (fileNumber != 0) {
        result = IllegalFunctionCall;
    } else {
        const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
                             (mask != 1 || std::fwrite("\r\n", 1, 2, stdout) == 2);
        if (!written) {
            result = FileIoError;
        }
    }
    return storeErrorNumber(result);
}

void checkProcessor(std::uint32_t family) {
    if (family >= 4) {
        return;
    }
    constexpr std::string_view message = "This program requires at least a 486 to run.";
    printLine(0, message, 1);
    platform::showIfUnseen(platform::StandardStream::Output, message);
    endProgram(1);
}

void startRuntime(int argc, char** argv, std::int32_t compatibilityLevel) {
    detail::resetRuntimeState();
    detail::useNearestExtendedRounding();
    initRuntime(argc, argv, compatibilityLevel);
    installFaultHandlers();
    checkProcessor(processorFamily() >> 28);
}

}  // namespace zopp
