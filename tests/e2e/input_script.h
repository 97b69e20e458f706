// The input script (input_script.txt): the steps of real input every platform plays into the screen
// probe, the records each step must post, and the inputs a platform lacks. Also the records a platform's
// run posted, step by step, in the file the comparison of the platforms reads.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/probe_events.h"

namespace zopp::e2e {

// An event type and the slots it defines, as the script names them.
struct ExpectedRecord {
    int type = 0;
    std::vector<int> slots;
};

struct ScriptStep {
    int line = 0;                    // in the script, for messages
    std::vector<std::string> input;  // the input's name and its arguments
    std::vector<ExpectedRecord> expected;
};

struct InputScript {
    std::vector<ScriptStep> steps;
    // platform → input name → why the platform lacks that input
    std::map<std::string, std::map<std::string, std::string>> lacks;

    bool plays(const std::string& platform, const ScriptStep& step) const;
};

// Throws std::runtime_error naming the line that does not read.
InputScript readInputScript(const std::string& path);

// Empty when the records are what the step expects, else what differs.
std::string mismatch(const ScriptStep& step, const std::vector<Event>& records);

std::string describe(const std::vector<Event>& records);

// The records of each step played ("step <index>" lines, each followed by its "event ..." lines).
using PlayedSteps = std::map<int, std::vector<Event>>;
void writeRecords(const std::string& path, const PlayedSteps& played);
std::optional<PlayedSteps> readRecords(const std::string& path);

}  // namespace zopp::e2e
