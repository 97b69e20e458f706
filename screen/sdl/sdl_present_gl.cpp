// Presentation through OpenGL: the shared presenter over a context on the SDL window.
#include "screen/backend/gl_texture.h"
#include "screen/sdl/sdl_gl_driver.h"
#include "screen/sdl/sdl_present.h"

namespace zopp {

std::unique_ptr<Presenter> startGlPresenter(SDL_Window* window, const ScreenState& screen,
                                            SDL_GLContext& context) {
    context = SDL_GL_CreateContext(window);
    if (!context) return nullptr;
    SDL_GL_SetSwapInterval(0);
    keepGlDriverLoaded();
    auto presenter = std::make_unique<GlPresenter>();
    const bool started = presenter->start({SDL_GL_GetProcAddress, [window] { SDL_GL_SwapWindow(window); },
                                           [window](std::int32_t& width, std::int32_t& height) {
                                               SDL_GL_GetDrawableSize(window, &width, &height);
                                           }},
                                          screen);
    if (!started) return nullptr;
    return presenter;
}

}  // namespace zopp
