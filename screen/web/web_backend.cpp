#include "screen/web/web_backend.h"

#include <emscripten.h>

#include <string>

#include "screen/backend/event_translator.h"
#include "screen/backend/window_lines.h"
#include "screen/state/screen_state.h"

// page_host.js
extern "C" {
bool zoppPageOpen(std::int32_t width, std::int32_t height, const char* title);
void zoppPageClose();
void zoppPageTitle(const char* title);
void zoppPagePut(const std::uint8_t* rgba, std::int32_t top, std::int32_t width, std::int32_t height);
std::int32_t zoppPageTakeInput(std::int32_t* records, std::int32_t capacity);
void zoppPageCapture(bool enabled);
}

namespace zopp {

namespace {

// The page holds one canvas: the back-end whose window it is.
WebBackend* openPage = nullptr;

std::unique_ptr<Backend> makeWebBackend(std::int32_t) {
    return std::make_unique<WebBackend>();
}

}  // namespace

// The page's input callbacks call this once they queued a record: the step hands it to the translator
// at once, so the program finds the event when it next polls.
extern "C" EMSCRIPTEN_KEEPALIVE void zoppPageInputArrived() {
    if (openPage) openPage->inputArrived();
}

std::span<const BackendFactory> platformBackendFactories() {
    static constexpr BackendFactory kFactories[] = {makeWebBackend};
    return kFactories;
}

// The page has no desktop to centre on, no frame and no full screen without the player's gesture, so
// the open flags change nothing here.
bool WebBackend::createWindow(ScreenState& screen, std::int32_t, std::string_view title, EventTranslator&) {
    screen_ = &screen;
    if (!zoppPageOpen(screen.width, screen.height, std::string(title).c_str())) return false;
    pageOpen_ = true;
    input_.emplace(screen.width, screen.height);
    openPage = this;
    web::armTone();
    return true;
}

void WebBackend::destroyWindow() {
    if (!pageOpen_) return;
    openPage = nullptr;
    zoppPageClose();
    pageOpen_ = false;
    input_.reset();
}

void WebBackend::transferRows(const ConvertedLines& rows, std::int32_t) {
    zoppPagePut(rows.pixels, rows.first, screen_->width, rows.count);
}

void WebBackend::pumpInput(EventTranslator& translator) {
    constexpr std::int32_t capacity = 32;
    std::array<PageRecord, capacity> records;
    std::int32_t count;
    do {
        count = zoppPageTakeInput(records.front().data(), capacity);
        for (std::int32_t i = 0; i < count; ++i) {
            const PageRecord& record = records[static_cast<std::size_t>(i)];
            input_->feed(static_cast<PageEvent>(record[0]), record, translator);
        }
    } while (count == capacity);
}

void WebBackend::inputArrived() {
    if (step_) step_();
}

void WebBackend::setTitle(std::string_view title) {
    zoppPageTitle(std::string(title).c_str());
}

void WebBackend::capturePointer() {
    input_->capture(true);
    zoppPageCapture(true);
}

void WebBackend::releasePointer() {
    input_->capture(false);
    zoppPageCapture(false);
}

}  // namespace zopp
