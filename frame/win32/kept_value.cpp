// A desktop program's work ends with its window: nothing is kept.
#include "frame/platform/kept_value.h"

namespace zopp::platform {

bool keepsValues() {
    return false;
}

std::vector<std::uint8_t> readKeptValue() {
    return {};
}

void writeKeptValue(std::span<const std::uint8_t> /*value*/, bool /*inProgress*/) {}

}  // namespace zopp::platform
