#include "tests/support/window_less_backend.h"

#include "screen/screen.h"

namespace zopp::testing {

namespace {

class WindowLessBackend final : public Backend {
  public:
    bool start(ScreenState&, std::int32_t) override { return true; }
    void stop() override {}
    void setTitle(std::string_view) override {}
    void paletteChanged() override {}
};

}  // namespace

std::unique_ptr<Backend> makeWindowLessBackend(std::int32_t flags) {
    if (flags & ScreenOpenGL) return nullptr;
    return std::make_unique<WindowLessBackend>();
}

}  // namespace zopp::testing
