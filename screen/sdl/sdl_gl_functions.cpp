#include "screen/sdl/sdl_gl_functions.h"

#include <SDL.h>

namespace zopp {

namespace {

template <typename Function>
bool load(Function& function, const char* name) {
    function = reinterpret_cast<Function>(SDL_GL_GetProcAddress(name));
    return function != nullptr;
}

}  // namespace

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
