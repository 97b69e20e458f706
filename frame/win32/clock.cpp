#include "frame/platform/clock.h"

#include <windows.h>

namespace zopp::platform {

std::optional<double> counterTickSeconds() {
    LARGE_INTEGER frequency{};
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) return std::nullopt;
    return 1.0 / static_cast<double>(frequency.QuadPart);
}

double counterSeconds(double tickSeconds) {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * tickSeconds;
}

double tickCountSeconds() {
    return static_cast<double>(GetTickCount64()) * 0.001;
}

}  // namespace zopp::platform
