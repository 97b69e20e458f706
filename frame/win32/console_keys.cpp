#include "frame/platform/console_keys.h"

#include <io.h>
#include <windows.h>

#include <cstdio>

#include <array>

namespace zopp::platform {

namespace {

// A console delivers records of every kind; only a key going down counts, and all waiting records are
// taken so each press is seen once.
bool consoleKeyDown(HANDLE console) {
    DWORD waiting = 0;
    if (!GetNumberOfConsoleInputEvents(console, &waiting) || waiting == 0) return false;
    std::array<INPUT_RECORD, 64> records{};
    DWORD read = 0;
    if (!ReadConsoleInputW(console, records.data(), static_cast<DWORD>(records.size()), &read)) return false;
    for (DWORD i = 0; i < read; ++i) {
        if (records[i].EventType == KEY_EVENT && records[i].Event.KeyEvent.bKeyDown) return true;
    }
    return false;
}

// Redirected input: waiting bytes count, as on a terminal.
bool pipeInputWaiting(HANDLE pipe) {
    DWORD available = 0;
    if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0) return false;
    std::array<char, 256> pending{};
    DWORD read = 0;
    return ReadFile(pipe, pending.data(), static_cast<DWORD>(pending.size()), &read, nullptr) && read > 0;
}

// A file is always ready: what is left of it counts until its end.
bool fileInputLeft(HANDLE file) {
    std::array<char, 256> pending{};
    DWORD read = 0;
    return ReadFile(file, pending.data(), static_cast<DWORD>(pending.size()), &read, nullptr) && read > 0;
}

}  // namespace

// Standard input as the C run-time sees it, so a redirection made with its descriptors counts too.
bool consoleKeyPressed() {
    const auto input = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stdin)));
    if (input == nullptr || input == INVALID_HANDLE_VALUE) return false;
    switch (GetFileType(input)) {
        case FILE_TYPE_CHAR:
            return consoleKeyDown(input);
        case FILE_TYPE_PIPE:
            return pipeInputWaiting(input);
        case FILE_TYPE_DISK:
            return fileInputLeft(input);
        default:
            return false;
    }
}

}  // namespace zopp::platform
