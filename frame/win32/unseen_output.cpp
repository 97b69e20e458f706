// A standard stream leads nowhere when it is missing (a windowed program started from the desktop gets no
// handles) or is a character device other than a console (the null device). A console, a file or a pipe
// has a reader: the console's user, or whoever redirected the stream.
#include "frame/platform/unseen_output.h"

#include <windows.h>

#include <string>

namespace zopp::platform {

namespace {

bool leadsNowhere(StandardStream stream) {
    const HANDLE handle =
        GetStdHandle(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return true;
    switch (GetFileType(handle)) {
        case FILE_TYPE_DISK:
        case FILE_TYPE_PIPE:
            return false;
        case FILE_TYPE_CHAR: {
            DWORD mode = 0;
            return GetConsoleMode(handle, &mode) == 0;
        }
        default:
            return true;
    }
}

std::wstring wide(std::string_view text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring converted(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), converted.data(), length);
    return converted;
}

// The program's file name without folder and extension, as its window is called when it sets no title.
std::wstring programName() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, length < MAX_PATH ? length : 0);
    name.erase(0, name.find_last_of(L"\\/") + 1);
    if (const std::size_t dot = name.rfind(L'.'); dot != std::wstring::npos) name.erase(dot);
    return name;
}

}  // namespace

void showIfUnseen(StandardStream stream, std::string_view text) {
    if (!leadsNowhere(stream)) return;
    // The report's surrounding line ends would only pad the box.
    const std::size_t first = text.find_first_not_of("\r\n");
    if (first == std::string_view::npos) return;
    text = text.substr(first, text.find_last_not_of("\r\n") + 1 - first);
    MessageBoxW(nullptr, wide(text).c_str(), programName().c_str(),
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
}

}  // namespace zopp::platform
