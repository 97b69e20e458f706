// What the frame tells the person at the computer when nobody would read the stream it goes to. The frame
// probe is started as the desktop starts a windowed program, with no console and no standard streams, or
// with the null device as both: its report, or the processor message, also appears in a message box, and
// the probe ends with its own code once the box is confirmed.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace {

struct ProbeRun {
    DWORD exitCode = STILL_ACTIVE;
    std::wstring boxText;  // the text of every box the probe showed
};

// The frame probe, in the folder above this test's.
std::wstring probePath() {
    wchar_t path[MAX_PATH];
    const std::wstring own(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    return own.substr(0, own.find_last_of(L'\\')) + L"\\..\\frame_probe.exe";
}

// Runs the probe detached from any console with `streams` as its standard output and error, reading and
// confirming each box it shows. A probe still running after 20 s (a box nobody found) is ended.
ProbeRun runProbe(const std::wstring& arguments, HANDLE streams) {
    std::wstring commandLine = L"frame_probe " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = streams;
    PROCESS_INFORMATION process{};
    ProbeRun run;
    if (!CreateProcessW(probePath().c_str(), commandLine.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS,
                        nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start the frame probe";
        return run;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    HWND answered = nullptr;
    while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT) {
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "the probe did not end";
            TerminateProcess(process.hProcess, STILL_ACTIVE);
            break;
        }
        const HWND box = FindWindowW(L"#32770", L"frame_probe");
        if (box == nullptr || box == answered || !IsWindowVisible(box)) continue;
        wchar_t text[1024] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 1024);  // a message box's text control
        run.boxText += text;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        answered = box;
    }
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return run;
}

// Through a pipe there is no box: the Wine game tests read the game's report from one.
TEST(UnseenOutput, WithoutStreamsOrToTheNullDeviceReportsAndTheProcessorMessageAlsoShowInABox) {
    const ProbeRun report = runProbe(L"error 2 117 game/ZOPP.cpp", nullptr);
    EXPECT_EQ(report.boxText,
              L"Aborting due to runtime error 2 (file not found) at line 117 of game/ZOPP.cpp()");
    EXPECT_EQ(report.exitCode, 2u);
    const ProbeRun processor = runProbe(L"old-processor", nullptr);
    EXPECT_EQ(processor.boxText, L"This program requires at least a 486 to run.");
    EXPECT_EQ(processor.exitCode, 1u);
    const ProbeRun clean = runProbe(L"clean-exit", nullptr);
    EXPECT_EQ(clean.boxText, L"");
    EXPECT_EQ(clean.exitCode, 0u);

    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const HANDLE null =
        CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(null, INVALID_HANDLE_VALUE);
    const ProbeRun fault = runProbe(L"fault access", null);
    CloseHandle(null);
    EXPECT_EQ(fault.boxText, L"Aborting due to runtime error 12 (\"segmentation violation\" signal)");
    EXPECT_EQ(fault.exitCode, 12u);
}

}  // namespace
