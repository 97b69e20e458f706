#include "screen/backend.h"

#include "screen/sdl_backend.h"

namespace zopp {

namespace {

constexpr BackendFactory platformBackends[] = {makeSdlSoftwareBackend, makeSdlOpenGLBackend};
std::span<const BackendFactory> activeBackends{platformBackends};

}  // namespace

std::span<const BackendFactory> backendFactories() {
    return activeBackends;
}

void setBackendFactories(std::span<const BackendFactory> factories) {
    activeBackends = factories.empty() ? std::span<const BackendFactory>{platformBackends} : factories;
}

}  // namespace zopp
