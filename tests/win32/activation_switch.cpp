// Takes activation away from the screen probe's window and gives it back as the taskbar does, from another
// program in the same Wine desktop, printing after each step "<step> <probe minimised: 0 or 1> <display
// width> <height>" for the steps start, away and back; then asks the probe to close. Exits 1 when no probe
// window appears.
#include <windows.h>

#include <cstdio>

namespace {

// Waits up to 10 s for `done`, answering this thread's own window meanwhile.
template <class Condition>
bool waitFor(Condition done) {
    for (int i = 0; i < 500; ++i) {
        if (done()) return true;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(20);
    }
    return false;
}

void report(const char* step, HWND probe) {
    std::printf("%s %d %d %d\n", step, IsIconic(probe) ? 1 : 0, GetSystemMetrics(SM_CXSCREEN),
                GetSystemMetrics(SM_CYSCREEN));
    std::fflush(stdout);
}

}  // namespace

int main() {
    HWND probe = nullptr;
    if (!waitFor([&] { return (probe = FindWindowW(nullptr, L"ZOPP screen probe")) != nullptr; })) return 1;
    report("start", probe);
    const HWND elsewhere = CreateWindowExW(0, L"STATIC", L"elsewhere", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50,
                                           50, 200, 100, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(elsewhere);
    waitFor([&] { return IsIconic(probe) && GetSystemMetrics(SM_CXSCREEN) != 640; });
    report("away", probe);
    PostMessageW(probe, WM_SYSCOMMAND, SC_RESTORE, 0);  // as the taskbar does
    waitFor([&] { return !IsIconic(probe) && GetSystemMetrics(SM_CXSCREEN) == 640; });
    report("back", probe);
    PostMessageW(probe, WM_CLOSE, 0, 0);
    return 0;
}
