// The SDL2 back-ends: a window-surface back-end for every flag combination but OpenGL, and an OpenGL
// back-end for the OpenGL flag.
#pragma once

#include <cstdint>
#include <memory>

#include "screen/backend.h"

namespace zopp {

std::unique_ptr<Backend> makeSdlSoftwareBackend(std::int32_t flags);
std::unique_ptr<Backend> makeSdlOpenGLBackend(std::int32_t flags);

}  // namespace zopp
