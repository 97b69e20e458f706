// The run-time frame seen from outside: reports, exit codes and the exit sequence of the probe program.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "frame/runtime.h"
#include "harness/support/test_paths.h"

namespace {

struct ProbeRun {
    int exitCode = -1;  // -1 when the probe did not exit normally
    std::string out;
    std::string err;
};

std::string readAll(std::FILE* file) {
    std::string text;
    std::rewind(file);
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        text.append(buffer, n);
    }
    (void)std::fclose(file);
    return text;
}

ProbeRun runProbe(std::vector<std::string> args) {
    args.insert(args.begin(), zopp::testing::buildPath(ZOPP_FRAME_PROBE));
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fileno(out), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fileno(err), STDERR_FILENO);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ProbeRun run;
    EXPECT_EQ(spawned, 0) << "cannot start " << argv[0];
    if (spawned == 0) {
        // A hang (a deadlocked exit sequence) fails the test instead of stalling the suite.
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                ADD_FAILURE() << "probe " << args[1] << " hung";
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (WIFEXITED(status)) {
            run.exitCode = WEXITSTATUS(status);
        }
    }
    run.out = readAll(out);
    run.err = readAll(err);
    return run;
}

const std::string kModuleText = "game/ZOPP.cpp";

std::string signalReport(int number, const std::string& name) {
    return "\r\nAborting due to runtime error " + std::to_string(number) + " (\"" + name +
           "\" signal)\r\n\r\n";
}

TEST(RuntimeReport, CheckedErrorNamesNumberTextLineAndModule) {
    const ProbeRun run = runProbe({"error", "2", "117", kModuleText});
    EXPECT_EQ(run.err,
              "\r\nAborting due to runtime error 2 (file not found) at line 117 of game/ZOPP.cpp()\r\n\r\n");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
}

TEST(RuntimeReport, EveryNumberUpTo17HasItsTextInParentheses) {
    const std::array<std::string, 18> texts = {"",
                                               "illegal function call",
                                               "file not found",
                                               "file I/O error",
                                               "out of memory",
                                               "illegal resume",
                                               "out of bounds array access",
                                               "null pointer access",
                                               "no priviledges",
                                               "\"interrupted\" signal",
                                               "\"illegal instruction\" signal",
                                               "\"floating point error\" signal",
                                               "\"segmentation violation\" signal",
                                               "\"termination request\" signal",
                                               "\"abnormal termination\" signal",
                                               "\"quit request\" signal",
                                               "return without gosub",
                                               "end of file"};
    for (int number = 0; number < 18; ++number) {
        const ProbeRun run = runProbe({"error", std::to_string(number), "40", kModuleText});
        EXPECT_EQ(run.err, "\r\nAborting due to runtime error " + std::to_string(number) + " (" +
                               texts[static_cast<std::size_t>(number)] +
                               ") at line 40 of game/ZOPP.cpp()\r\n\r\n");
        EXPECT_EQ(run.exitCode, number);
    }
}

TEST(RuntimeReport, NumbersOutsideTheTableHaveNoParentheses) {
    for (const int number : {18, 42, -3}) {
        const ProbeRun run = runProbe({"error", std::to_string(number), "117", kModuleText});
        EXPECT_EQ(run.err, "\r\nAborting due to runtime error " + std::to_string(number) +
                               " at line 117 of game/ZOPP.cpp()\r\n\r\n");
        EXPECT_EQ(run.exitCode, number & 0xFF);
    }
}

TEST(RuntimeReport, LineZeroOrBelowIsLeftOutAndTheModuleFollowsIn) {
    for (const char* line : {"0", "-1", "-2147483648"}) {
        const ProbeRun run = runProbe({"error", "3", line, kModuleText});
        EXPECT_EQ(run.err, "\r\nAborting due to runtime error 3 (file I/O error) in game/ZOPP.cpp()\r\n\r\n");
        EXPECT_EQ(run.exitCode, 3);
    }
}

TEST(RuntimeReport, WithoutModuleTheReportEndsAfterTheLine) {
    EXPECT_EQ(runProbe({"error", "1", "2147483647", "-"}).err,
              "\r\nAborting due to runtime error 1 (illegal function call) at line 2147483647\r\n\r\n");
    EXPECT_EQ(runProbe({"error", "1", "0", "-"}).err,
              "\r\nAborting due to runtime error 1 (illegal function call)\r\n\r\n");
}

TEST(RuntimeReport, IsCutAt1023Characters) {
    const std::string longModule(2000, 'm');
    const ProbeRun run = runProbe({"error", "4", "9", longModule});
    const std::string start = "\r\nAborting due to runtime error 4 (out of memory) at line 9 of mmm";
    EXPECT_EQ(run.err.size(), 1023u);
    EXPECT_EQ(run.err.substr(0, start.size()), start);
    EXPECT_EQ(run.exitCode, 4);
}

TEST(FaultSignals, EachSignalReportsItsNumberWithoutLineOrModule) {
    const std::array<std::tuple<const char*, int, const char*>, 6> signals = {{
        {"INT", 9, "interrupted"},
        {"ILL", 10, "illegal instruction"},
        {"FPE", 11, "floating point error"},
        {"SEGV", 12, "segmentation violation"},
        {"TERM", 13, "termination request"},
        {"ABRT", 14, "abnormal termination"},
    }};
    for (const auto& [signal, number, name] : signals) {
        const ProbeRun run = runProbe({"signal", signal});
        EXPECT_EQ(run.err, signalReport(number, name)) << signal;
        EXPECT_EQ(run.exitCode, number) << signal;
    }
}

TEST(FaultSignals, ProcessorFaultsArriveAsTheirSignals) {
    const ProbeRun access = runProbe({"fault", "access"});
    EXPECT_EQ(access.err, signalReport(12, "segmentation violation"));
    EXPECT_EQ(access.exitCode, 12);
    const ProbeRun divide = runProbe({"fault", "divide"});
    EXPECT_EQ(divide.err, signalReport(11, "floating point error"));
    EXPECT_EQ(divide.exitCode, 11);
}

TEST(FaultSignals, StackOverflowStillReachesTheHandler) {
    const ProbeRun run = runProbe({"fault", "overflow"});
    EXPECT_EQ(run.err, signalReport(12, "segmentation violation"));
    EXPECT_EQ(run.exitCode, 12);
}

const std::string kFileNotFoundReport =
    "\r\nAborting due to runtime error 2 (file not found) at line 117 of game/ZOPP.cpp()\r\n\r\n";

TEST(ExitSequence, HooksRunLatestFirstBeforeTheReport) {
    const ProbeRun run = runProbe({"hooks-then-error"});
    EXPECT_EQ(run.err, "[hook 3][hook 2][hook 1]" + kFileNotFoundReport);
    EXPECT_EQ(run.exitCode, 2);
}

TEST(ExitSequence, CleanExitFlushesStdoutAndWritesNothingToStderr) {
    const ProbeRun run = runProbe({"clean-exit"});
    EXPECT_EQ(run.out, "still buffered");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.exitCode, 0);
}

TEST(ExitSequence, FaultInAHookEndsAtOnceWithOneReport) {
    const ProbeRun run = runProbe({"hook-faults"});
    EXPECT_EQ(run.err, "[faulting hook]" + signalReport(12, "segmentation violation"));
    EXPECT_EQ(run.exitCode, 12);
}

TEST(ExitSequence, FaultInAHookKeepsTheFirstReportAndCode) {
    const ProbeRun run = runProbe({"hook-faults-after-error"});
    EXPECT_EQ(run.err, "[faulting hook]" + kFileNotFoundReport);
    EXPECT_EQ(run.exitCode, 2);
}

TEST(ExitSequence, SameFaultAgainInAHookStillReports) {
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "ThreadSanitizer keeps a signal blocked inside its handler";
#endif
    const ProbeRun run = runProbe({"hook-faults-after-fault"});
    EXPECT_EQ(run.err, "[faulting hook]" + signalReport(12, "segmentation violation"));
    EXPECT_EQ(run.exitCode, 12);
}

TEST(ExitSequence, HookEndingTheProgramDoesNotRestartTheSequence) {
    const ProbeRun run = runProbe({"hook-ends-program"});
    EXPECT_EQ(run.err, "[ending hook]");
    EXPECT_EQ(run.exitCode, 3);
}

TEST(ExitSequence, AnotherThreadEndingMeanwhileIsParked) {
    const ProbeRun run = runProbe({"late-exit"});
    EXPECT_EQ(run.err, "[late threads parked]");
    EXPECT_EQ(run.exitCode, 4);
}

// A threaded hook (closing the screen joins its thread) must not find its objects destroyed already.
TEST(ExitSequence, ReturnFromMainRunsTheHooksBeforeStaticsAreDestroyed) {
    const ProbeRun run = runProbe({"return-from-main"});
    EXPECT_EQ(run.err, "[hook 2][hook 1][static destroyed]");
    EXPECT_EQ(run.exitCode, 0);
}

TEST(ForbiddenThread, EndProgramThereRunsTheHooksElsewhereAndParksTheCaller) {
    const ProbeRun run = runProbe({"forbidden-thread", "exit"});
    EXPECT_EQ(run.err, "[hook elsewhere][caller parked]");
    EXPECT_EQ(run.exitCode, 7);
}

TEST(ForbiddenThread, FaultsThereAreHandedOffToo) {
    for (const char* fault : {"access", "overflow"}) {
        const ProbeRun run = runProbe({"forbidden-thread", fault});
        EXPECT_EQ(run.err, "[hook elsewhere][caller parked]" + signalReport(12, "segmentation violation"))
            << fault;
        EXPECT_EQ(run.exitCode, 12) << fault;
    }
}

// The program's thread sleeping in its idle wait (a screen's queue open, no event coming) must not keep
// the program from ending: nothing in the exit sequence waits for it to wake.
TEST(IdleProgram, AnEndOrAFaultOnTheForbiddenThreadStillEndsTheProcess) {
    const ProbeRun ended = runProbe({"idle-forbidden-thread", "exit"});
    EXPECT_EQ(ended.err, "[hook elsewhere][caller parked]");
    EXPECT_EQ(ended.exitCode, 7);
    const ProbeRun faulted = runProbe({"idle-forbidden-thread", "access"});
    EXPECT_EQ(faulted.err, "[hook elsewhere][caller parked]" + signalReport(12, "segmentation violation"));
    EXPECT_EQ(faulted.exitCode, 12);
}

TEST(IdleProgram, ASignalEndsTheWaitWithItsReport) {
#ifdef ZOPP_UNDER_WINE
    GTEST_SKIP() << "POSIX signals are not how a Windows program is interrupted; its Ctrl+C, also while "
                    "idle, is tested with the Windows window's tests";
#endif
    for (const auto& [name, number, text] :
         {std::tuple{"INT", 9, "interrupted"}, std::tuple{"TERM", 13, "termination request"}}) {
        const ProbeRun run = runProbe({"idle-signal", name});
        EXPECT_EQ(run.err, signalReport(number, text)) << name;
        EXPECT_EQ(run.exitCode, number) << name;
    }
}

TEST(StartUp, ProcessorOlderThanA486GetsTheMessageAndCode1) {
    const ProbeRun run = runProbe({"old-processor"});
    EXPECT_EQ(run.out, "This program requires at least a 486 to run.\r\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.exitCode, 1);
}

TEST(StartUp, ClearsErrorStateSetsRoundingAndRecordsArguments) {
    const ProbeRun run = runProbe({"start-state"});
    std::string expected = "args=2 first=start-state level=0 nearest=1 error=0";
#if defined(__i386__) || defined(__x86_64__)
    expected += " precision=3";
#endif
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(run.exitCode, 0);
}

TEST(StartUp, ThisProcessorPassesTheCheck) {
    EXPECT_GE(zopp::processorFamily() >> 28, 4u);
    zopp::checkProcessor(4);  // returns: a 486 is enough
#if defined(__i386__) || defined(__x86_64__)
    // The top four bits are the base family; the system shows base plus extended family.
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line) && line.rfind("cpu family", 0) != 0) {
    }
    ASSERT_FALSE(line.empty());
    const unsigned family = static_cast<unsigned>(std::stoul(line.substr(line.find(':') + 1)));
    EXPECT_EQ(zopp::processorFamily() >> 28, family > 15 ? 15u : family);
#endif
}

TEST(ConsoleOutput, PrintLineAddsCrLfOnlyForMask1AndKnowsOnlyTheConsole) {
    const ProbeRun run = runProbe({"print-line"});
    EXPECT_EQ(run.out, "abcdef\r\nghi|0 1 1");
    EXPECT_EQ(run.err, "");
}

}  // namespace
