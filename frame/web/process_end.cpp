// The end of the program in a page. The report goes to the page's console and onto the page, where the
// closed screen's canvas was (under node, unchanged to standard error); then the program stops for good:
// its stack unwinds to the browser and no callback of it runs again. Module.onExit, if the page set one,
// hears the code.
#include "frame/platform/process_end.h"

#include <emscripten.h>

namespace zopp::platform {

namespace {

EM_JS(void, showReportOnPage, (const char* text, std::size_t length), {
    const report = UTF8ToString(text, length);
    if (typeof process === 'object' && process.stderr) {
        process.stderr.write(report);  // node, running the tests: standard error unchanged
        return;
    }
    console.error(report);
    const shown = document.createElement('pre');
    shown.id = 'report';
    shown.textContent = report;
    const canvas = document.getElementById('screen');
    if (canvas) {
        canvas.replaceWith(shown);
    } else {
        document.body.append(shown);
    }
});

}  // namespace

void writeReport(std::string_view report) {
    if (!report.empty()) showReportOnPage(report.data(), report.size());
}

void endProcessNow(std::int32_t code) {
    emscripten_force_exit(code);
}

}  // namespace zopp::platform
