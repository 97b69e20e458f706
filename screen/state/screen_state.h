// The open screen's state, shared by the layer's modules. Not part of the layer's public surface.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

namespace zopp {

// What shows the screen: told when drawing marked lines (on the drawing thread, after the lock's release)
// and when the palette changed, so it presents them soon. The window code registers one while a window
// shows the open screen (setScreenWatcher).
class ScreenWatcher {
  public:
    virtual void linesChanged() = 0;
    virtual void paletteChanged() = 0;

  protected:
    ~ScreenWatcher() = default;
};

struct Rect {
    std::int32_t x = 0, y = 0, width = 0, height = 0;
};

// The open screen's geometry, pages, dirty lines and palette. What the libraries above keep of it (the
// text grid, the drawing context, the window) they keep themselves.
struct ScreenState {
    std::int32_t id = 0;
    std::int32_t width = 0, height = 0;
    std::int32_t depth = 0;  // 1, 2, 4, 8, 16 or 32
    std::int32_t bytesPerPixel = 0;
    std::int32_t pitch = 0;  // bytesPerPixel × width, no padding
    std::uint32_t colourMask = 0;

    std::vector<std::vector<std::uint8_t>> pages;
    std::int32_t visiblePage = 0, workPage = 0;
    std::vector<std::uint8_t> dirty;  // one byte per line of the visible page

    std::array<std::uint32_t, 256> palette{};  // 0x00RRGGBB

    std::uint32_t flags = 0;   // the open flags (screen_values.h)
    bool hasFastCopy = false;  // the processor offers the 8-byte row copies

    std::uint8_t* workPixels() { return pages[static_cast<std::size_t>(workPage)].data(); }
    std::uint8_t* visiblePixels() { return pages[static_cast<std::size_t>(visiblePage)].data(); }
    const std::uint8_t* visiblePixels() const { return pages[static_cast<std::size_t>(visiblePage)].data(); }
    bool workIsVisible() const { return workPage == visiblePage; }
};

// The open screen, or null. Only the program's thread opens and closes it.
ScreenState* currentScreen();
// For the window code: makes `screen` the open one, kept here until takeCurrentScreen() hands it back
// (leaving none open).
void setCurrentScreen(std::unique_ptr<ScreenState> screen);
std::unique_ptr<ScreenState> takeCurrentScreen();
// The open screen's watcher, told when the lock is released after lines were marked dirty and when the
// palette changed; null while no window shows the screen. Set and cleared by the program's thread while
// the refresh loop may read it.
void setScreenWatcher(ScreenWatcher* watcher);
// Tells the screen's watcher, if any, that its palette changed.
void paletteChanged(ScreenState& screen);

// The screen lock: counted, so nested takes on one thread only count; under it, one mutex. Drawing holds
// it while writing pixels and marking dirty lines; the refresh loop while presenting and translating
// window events. Lock order: screen lock, then the event queue's lock.
void lockScreen();
void unlockScreen();
// Lock count of the calling thread (0 when it does not hold the lock).
int screenLockDepth();
// Releases every hold of the calling thread; used only on the way out of the program.
void releaseScreenLockCompletely();

class ScreenLock {
  public:
    ScreenLock() { lockScreen(); }
    ~ScreenLock() { unlockScreen(); }
    ScreenLock(const ScreenLock&) = delete;
    ScreenLock& operator=(const ScreenLock&) = delete;
};

// Marks lines first..last (inclusive, clamped to the screen) of the visible page as changed. Call with
// the lock held: the release that frees the lock then wakes the screen's back-end to present them.
void markDirty(ScreenState& screen, std::int32_t first, std::int32_t last);
void markAllDirty(ScreenState& screen);

// A run of lines first..last (inclusive) to transfer to the window.
struct LineSpan {
    std::int32_t first = 0, last = 0;
};
// Collects the dirty lines into at most spans.size() spans, merging runs separated by fewer than
// `mergeGap` clean lines (one transfer is cheaper than two close ones), and clears the flags. Returns the
// number of spans; 0 when nothing changed. Call with the lock held.
std::size_t takeDirtySpans(ScreenState& screen, std::span<LineSpan> spans, std::int32_t mergeGap = 16);

}  // namespace zopp
