// The interface between the screen layer and a platform back-end. The layer's drawing code never sees
// the platform; a back-end owns the window and the refresh thread.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace zopp {

struct ScreenState;

class Backend {
  public:
    virtual ~Backend() = default;
    // Creates the window and starts the refresh thread. False when it cannot run here; the layer then
    // calls stop() and tries the next back-end.
    virtual bool start(ScreenState& screen, std::int32_t refreshRate) = 0;
    // Stops the refresh thread (joining it) and closes the window. Called on the program's thread.
    virtual void stop() = 0;
    // True after stop() had to leave the refresh thread behind (it is parked by the exit sequence and may
    // hold locks or use the screen's buffers): the caller must then neither lock nor free them.
    virtual bool abandoned() const { return false; }
    // Called on the program's thread; the back-end forwards it to the thread that owns the window.
    virtual void setTitle(std::string_view title) = 0;
    // The screen palette changed (paletted depths). Called with the screen lock held.
    virtual void paletteChanged() = 0;
    // Lines were marked dirty and the screen lock released: present them now instead of at the next
    // refresh. Called from any thread, often (after every drawing operation); must be cheap.
    virtual void wake() {}
};

// A factory returns null when its back-end refuses the open flags.
using BackendFactory = std::unique_ptr<Backend> (*)(std::int32_t flags);

// The back-ends tried in order by openScreen.
std::span<const BackendFactory> backendFactories();
// Replaces the list (tests install a memory-only back-end); an empty span restores the platform's list.
void setBackendFactories(std::span<const BackendFactory> factories);

}  // namespace zopp
