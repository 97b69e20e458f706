// The end of the program in a page. The report goes to the page's console and onto the page, where the
// closed screen's canvas was (under node, unchanged to standard error); then the program stops for good:
// its stack unwinds to the browser and no callback of it runs again. Module.onExit, if the page set one,
// hears the code.
#include "frame/platform/process_end.h"

#include <emscripten.h>

// page_frame.js
extern "C" void zoppShowReport(const char* text, std::size_t length);

namespace zopp::platform {

void writeReport(std::string_view report) {
    if (!report.empty()) zoppShowReport(report.data(), report.size());
}

void endProcessNow(std::int32_t code) {
    emscripten_force_exit(code);
}

}  // namespace zopp::platform
