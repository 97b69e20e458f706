// The Win32 back-end: one window per open screen, created and owned by the refresh thread, which also
// runs its window procedure. Internal to this folder; the layer reaches it through
// platformBackendFactories().
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "screen/backend/backend.h"
#include "screen/backend/presenter.h"
#include "screen/win32/win32_gl.h"
#include "screen/win32/win32_wait.h"

namespace zopp {

class Win32Backend final : public Backend, private Presenter {
  public:
    explicit Win32Backend(std::int32_t flags) : flags_(flags) {}

    // win32_window.cpp
    bool createWindow(ScreenState& screen, std::int32_t refreshRate, std::string_view title,
                      EventTranslator& translator) override;
    void destroyWindow() override;
    void setTitle(std::string_view title) override;
    void toggleFullScreen() override;
    void raisePriority(bool raised) override {
        SetThreadPriority(GetCurrentThread(), raised ? THREAD_PRIORITY_ABOVE_NORMAL : THREAD_PRIORITY_NORMAL);
    }
    bool pointerOverClient() const override;
    void resizeClient(std::int32_t width, std::int32_t height) override;

    // win32_present.cpp
    Presenter& presenter() override { return gl_ ? gl_->presenter() : *this; }
    void framePresented(std::int32_t k) override;

    // win32_wait.cpp
    void pumpInput(EventTranslator& translator) override;
    bool waitForInput(std::optional<std::chrono::nanoseconds> timeout) override {
        return waiter_.wait(timeout);
    }
    void wake() override { waiter_.wake(); }

    // win32_events.cpp
    void capturePointer() override;
    void releasePointer() override;
    bool holdsPointer() const override;
    void trackLeave(bool enabled) override;
    BeepSoundHook soundOutput() const override;

    // The window procedure's share: messages for this back-end's window.
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    // win32_window.cpp
    DWORD windowStyle() const;
    bool switchDisplayMode();
    void centreWindow();
    void followActivation(bool active);
    void followDpi(UINT dpi, const RECT& suggested);
    // win32_events.cpp
    void pointerMoved(LPARAM lParam);
    void buttonChanged(UINT message, WPARAM wParam, LPARAM lParam);
    bool keyChanged(UINT message, WPARAM wParam, LPARAM lParam);
    // win32_present.cpp: without the OpenGL flag, rows go as device-independent bitmaps in the screen's
    // own 32-bit layout.
    PixelLayout pixelLayout() override { return {}; }
    void transferRows(const ConvertedLines& rows, std::int32_t k) override;
    void finish() override;
    void repaint();
    void updateShape(std::int32_t k);

    const std::int32_t flags_;
    Win32Wait waiter_;  // any thread wakes it; the refresh thread waits in it

    // The rest is the refresh thread's.
    ScreenState* screen_ = nullptr;
    EventTranslator* translator_ = nullptr;
    std::int32_t refreshRate_ = 0;
    HWND window_ = nullptr;
    HDC dc_ = nullptr;                    // the class's own device context, kept for the window's life
    std::unique_ptr<Win32GlContext> gl_;  // with the OpenGL flag
    HICON bigIcon_ = nullptr, smallIcon_ = nullptr;
    bool displayModeSwitched_ = false;
    bool fullScreen_ = false;
    // The client area the loop asked for (the screen at its factor), at the window's DPI.
    std::int32_t clientWidth_ = 0, clientHeight_ = 0;
    UINT dpi_ = 0;
    bool placing_ = false;  // the caller of a report places the window itself, at the size asked for
};

}  // namespace zopp
