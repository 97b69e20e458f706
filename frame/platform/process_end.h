// Seam: the last two steps of every exit, also taken inside fault handlers, so both must be safe there
// (POSIX: async-signal-safe; no allocation, no locks).
#pragma once

#include <cstdint>
#include <string_view>

namespace zopp::platform {

// Delivers the run-time error report: its bytes unchanged on standard error, "\r\n" staying "\r\n"
// (binary mode on Win32), with partial writes continued; a failure is dropped, there is nowhere left to
// tell. A platform may also show it elsewhere (the browser shows it on the page instead of the canvas).
void writeReport(std::string_view report);

// Ends the process with `code` (its low 8 bits on POSIX) at once: no static destructors or atexit
// handlers, since other threads may still use the objects they would destroy.
[[noreturn]] void endProcessNow(std::int32_t code);

}  // namespace zopp::platform
