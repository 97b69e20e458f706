// The run-time error report: its exact text, kept until the end of the program.
#include <atomic>
#include <cstring>

#include "frame/runtime.h"
#include "frame/runtime_internal.h"

namespace zopp {

namespace {

constexpr std::size_t kReportCapacity = 1024;  // 1023 characters and the terminator

// Filled once; the state makes the text visible only when it is complete, also to signal handlers.
enum ReportState : int { Empty, Writing, Ready };
char reportText[kReportCapacity];
std::size_t reportLength = 0;
std::int32_t reportNumber = 0;
std::atomic<int> reportState{Empty};

// Appends to a fixed buffer and silently cuts at its end: a report never overruns, whatever the module.
class ReportWriter {
  public:
    ReportWriter(char* out, std::size_t capacity) : out_(out), capacity_(capacity) {}

    void put(const char* text) {
        for (; *text != '\0'; ++text) {
            putChar(*text);
        }
    }
    void put(std::string_view text) {
        for (const char c : text) {
            putChar(c);
        }
    }
    void putDecimal(std::int32_t value) {
        // Through 64 bits so that the most negative value has a magnitude.
        std::int64_t magnitude = value;
        if (magnitude < 0) {
            putChar('-');
            magnitude = -magnitude;
        }
        char digits[10];
        std::size_t count = 0;
        do {
            digits[count++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        while (count > 0) {
            putChar(digits[--count]);
        }
    }
    std::size_t finish() {
        if (capacity_ > 0) {
            out_[length_] = '\0';
        }
        return length_;
    }

  private:
    void putChar(char c) {
        if (length_ + 1 < capacity_) {
            out_[length_++] = c;
        }
    }

    char* out_;
    std::size_t capacity_;
    std::size_t length_ = 0;
};

}  // namespace

namespace detail {

std::size_t formatRuntimeReport(char* out, std::size_t capacity, std::int32_t number, std::int32_t line,
                                const char* module) {
    ReportWriter writer(out, capacity);
    writer.put("\r\nAborting due to runtime error ");
    writer.putDecimal(number);
    if (number >= 0 && number < static_cast<std::int32_t>(runtimeErrorMessages.size())) {
        writer.put(" (");
        writer.put(runtimeErrorMessages[static_cast<std::size_t>(number)]);
        writer.put(")");
    }
    if (line > 0) {
        writer.put(" at line ");
        writer.putDecimal(line);
    }
    if (module != nullptr && *module != '\0') {
        writer.put(line > 0 ? " of " : " in ");
        writer.put(module);
        writer.put("()\r\n\r\n");
    } else {
        writer.put("\r\n\r\n");
    }
    return writer.finish();
}

bool storeReport(std::int32_t number, std::int32_t line, const char* module) {
    int expected = Empty;
    if (!reportState.compare_exchange_strong(expected, Writing)) {
        return false;
    }
    reportLength = formatRuntimeReport(reportText, kReportCapacity, number, line, module);
    reportNumber = number;
    reportState.store(Ready, std::memory_order_release);
    return true;
}

bool storedReportNumber(std::int32_t& number) {
    if (reportState.load(std::memory_order_acquire) != Ready) {
        return false;
    }
    number = reportNumber;
    return true;
}

}  // namespace detail

std::string_view pendingReport() {
    if (reportState.load(std::memory_order_acquire) != Ready) {
        return {};
    }
    return {reportText, reportLength};
}

void raiseRuntimeError(std::int32_t line, const char* module, const void* /*failedStatement*/,
                       const void* /*nextStatement*/) {
    // No error handler can be installed in this program, so the continuation points are never used.
    const std::int32_t number = errorNumber();
    detail::storeReport(number, line, module);
    endProgram(number);
}

}  // namespace zopp
