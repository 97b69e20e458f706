// The few OpenGL entry points the OpenGL back-end uses, looked up through SDL once its context exists.
// The program does not link the GL library: only a window that asks for OpenGL loads it.
#pragma once

#include <SDL_opengl.h>

namespace zopp {

struct GlFunctions {
    decltype(&glGenTextures) genTextures = nullptr;
    decltype(&glDeleteTextures) deleteTextures = nullptr;
    decltype(&glBindTexture) bindTexture = nullptr;
    decltype(&glTexParameteri) texParameteri = nullptr;
    decltype(&glTexImage2D) texImage2D = nullptr;
    decltype(&glTexSubImage2D) texSubImage2D = nullptr;
    decltype(&glGetError) getError = nullptr;
    decltype(&glViewport) viewport = nullptr;
    decltype(&glMatrixMode) matrixMode = nullptr;
    decltype(&glLoadIdentity) loadIdentity = nullptr;
    decltype(&glOrtho) ortho = nullptr;
    decltype(&glEnable) enable = nullptr;
    decltype(&glBegin) begin = nullptr;
    decltype(&glEnd) end = nullptr;
    decltype(&glTexCoord2f) texCoord2f = nullptr;
    decltype(&glVertex2f) vertex2f = nullptr;
};

// Fills every entry from the current GL context's library. False when any is missing.
bool loadGlFunctions(GlFunctions& gl);

// Keeps every library loaded so far, the GL driver among them, in memory until the process ends. Closing
// the display otherwise unloads the driver while memory it allocated is still referenced from its own
// globals: that memory would then look lost to leak checkers, and a reopened window would load the driver
// again.
void keepGlDriverLoaded();

}  // namespace zopp
