// A back-end with no window and no refresh thread: drawing lands in the frame buffer only. Used by the
// drawing tests, the fuzzers and the benchmarks.
#pragma once

#include <cstdint>
#include <memory>

#include "screen/backend.h"

namespace zopp::testing {

// Refuses the OpenGL flag, like the window-surface back-end.
std::unique_ptr<Backend> makeWindowLessBackend(std::int32_t flags);

inline constexpr BackendFactory windowLessBackends[] = {makeWindowLessBackend};

}  // namespace zopp::testing
