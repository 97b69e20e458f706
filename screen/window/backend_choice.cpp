#include "screen/window/backend_choice.h"

namespace zopp {

namespace {

std::span<const BackendFactory> activeBackends;

}  // namespace

std::span<const BackendFactory> backendFactories() {
    return activeBackends.empty() ? platformBackendFactories() : activeBackends;
}

void setBackendFactories(std::span<const BackendFactory> factories) {
    activeBackends = factories;
}

}  // namespace zopp
