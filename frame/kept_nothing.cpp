// The desktop platforms (POSIX, Win32): a desktop program's work ends with its window, so nothing is kept.
#include "frame/platform/kept_value.h"

namespace zopp::platform {

bool keepsValues() {
    return false;
}

std::vector<std::uint8_t> readKeptValue() {
    return {};
}

void writeKeptValue(std::span<const std::uint8_t> /*value*/, bool /*inProgress*/) {}

// Nothing is kept, so nothing is rejected.
void sayKeptValueRejected(std::string_view /*why*/) {}

}  // namespace zopp::platform
