#include "frame/platform/console_keys.h"

#include <poll.h>
#include <unistd.h>

#include <array>

namespace zopp::platform {

bool consoleKeyPressed() {
    pollfd console{STDIN_FILENO, POLLIN, 0};
    if (poll(&console, 1, 0) != 1 || (console.revents & POLLIN) == 0) return false;
    // poll promised data, so this read does not block; a read of 0 is the end of input, not a key.
    std::array<char, 256> pending{};
    return read(STDIN_FILENO, pending.data(), pending.size()) > 0;
}

}  // namespace zopp::platform
