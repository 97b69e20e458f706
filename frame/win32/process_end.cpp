#include "frame/platform/process_end.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

namespace zopp::platform {

namespace {

// The C run-time opens the standard streams in text mode, which would turn printLine's "\r\n" into
// "\r\r\n". The program's output is the same bytes as on other systems. This file is always linked (the
// exit sequence ends here), so the setting is made before main.
const bool kBinaryStandardStreams = [] {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    return true;
}();

}  // namespace

// WriteFile on the standard error handle bypasses the C run-time's text mode, so "\r\n" stays "\r\n".
void writeReport(std::string_view report) {
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error == nullptr || error == INVALID_HANDLE_VALUE) return;
    while (!report.empty()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(report.size() > 0x10000 ? 0x10000 : report.size());
        if (!WriteFile(error, report.data(), chunk, &written, nullptr) || written == 0) return;
        report.remove_prefix(written);
    }
}

// TerminateProcess ends every thread at once and runs no DLL detach code, which could block on a lock
// that a stopped thread holds.
void endProcessNow(std::int32_t code) {
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
    ExitProcess(static_cast<UINT>(code));  // only if termination was refused
}

}  // namespace zopp::platform
