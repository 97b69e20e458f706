#include "frame/platform/process_end.h"

#include <unistd.h>

#include <cerrno>

namespace zopp::platform {

void writeReport(std::string_view report) {
    while (!report.empty()) {
        const ssize_t written = ::write(STDERR_FILENO, report.data(), report.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;
        }
        report.remove_prefix(static_cast<std::size_t>(written));
    }
}

void endProcessNow(std::int32_t code) {
    ::_exit(code);
}

}  // namespace zopp::platform
