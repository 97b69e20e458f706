// A pipe for tests that stand in for the console: its read end replaces standard input, its write end is
// where the test types. The ends are C run-time file descriptors.
#pragma once

namespace zopp::testing {

// Opens a pipe in binary mode; false when the system refuses.
bool openConsolePipe(int (&ends)[2]);

}  // namespace zopp::testing
