#include "screen/sdl/sdl_gl_functions.h"

#include <SDL.h>
#include <dlfcn.h>
#include <link.h>

namespace zopp {

namespace {

template <typename Function>
bool load(Function& function, const char* name) {
    function = reinterpret_cast<Function>(SDL_GL_GetProcAddress(name));
    return function != nullptr;
}

// Marks one loaded object as never to be unloaded; the main program has no name and needs nothing.
int pin(dl_phdr_info* info, std::size_t, void*) {
    if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0') {
        static_cast<void>(dlopen(info->dlpi_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE));
    }
    return 0;
}

}  // namespace

void keepGlDriverLoaded() {
    dl_iterate_phdr(pin, nullptr);
}

bool loadGlFunctions(GlFunctions& gl) {
    return load(gl.genTextures, "glGenTextures") && load(gl.deleteTextures, "glDeleteTextures") &&
           load(gl.bindTexture, "glBindTexture") && load(gl.texParameteri, "glTexParameteri") &&
           load(gl.texImage2D, "glTexImage2D") && load(gl.texSubImage2D, "glTexSubImage2D") &&
           load(gl.getError, "glGetError") && load(gl.viewport, "glViewport") &&
           load(gl.matrixMode, "glMatrixMode") && load(gl.loadIdentity, "glLoadIdentity") &&
           load(gl.ortho, "glOrtho") && load(gl.enable, "glEnable") && load(gl.begin, "glBegin") &&
           load(gl.end, "glEnd") && load(gl.texCoord2f, "glTexCoord2f") && load(gl.vertex2f, "glVertex2f");
}

}  // namespace zopp
