// Which back-ends openScreen tries: the platform's, or a list a program chooses instead (the null
// back-end, a test's recording one).
#pragma once

#include <span>

#include "screen/backend/backend.h"

namespace zopp {

// The back-ends tried by openScreen, in order.
std::span<const BackendFactory> backendFactories();
// Replaces the list (kNullBackends, say: screen/null/null_backend.h); an empty span restores the platform's
// list.
void setBackendFactories(std::span<const BackendFactory> factories);

}  // namespace zopp
