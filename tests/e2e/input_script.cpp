#include "tests/e2e/input_script.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <span>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include "frame/events.h"

namespace zopp::e2e {

namespace {

constexpr std::array<std::pair<std::string_view, int>, 14> kTypeNames{{
    {"KeyDown", KeyDown},
    {"KeyUp", KeyUp},
    {"KeyRepeat", KeyRepeat},
    {"PointerMove", PointerMove},
    {"ButtonDown", ButtonDown},
    {"ButtonUp", ButtonUp},
    {"DoubleClick", DoubleClick},
    {"Wheel", Wheel},
    {"PointerEnter", PointerEnter},
    {"PointerLeave", PointerLeave},
    {"FocusGained", FocusGained},
    {"FocusLost", FocusLost},
    {"CloseRequest", CloseRequest},
    {"HorizontalWheel", HorizontalWheel},
}};

std::string typeName(int type) {
    for (const auto& [name, code] : kTypeNames) {
        if (code == type) return std::string(name);
    }
    return "type " + std::to_string(type);
}

// "Type slot slot ...", as the script writes a record.
std::string recordText(int type, std::span<const int> slots) {
    std::string text = typeName(type);
    for (const int slot : slots)
        text += ' ' + std::to_string(slot);
    return text;
}

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> all;
    for (std::string word; in >> word;)
        all.push_back(word);
    return all;
}

ExpectedRecord expectedRecord(const std::string& text, int line) {
    const std::vector<std::string> parts = words(text);
    ExpectedRecord record;
    for (const auto& [name, code] : kTypeNames) {
        if (!parts.empty() && parts[0] == name) record.type = code;
    }
    if (record.type == 0 || parts.size() > 5)
        throw std::runtime_error("input script line " + std::to_string(line) + ": no record: " + text);
    for (std::size_t i = 1; i < parts.size(); ++i)
        record.slots.push_back(std::stoi(parts[i]));
    return record;
}

ScriptStep scriptStep(const std::string& text, int line) {
    const std::size_t arrow = text.find("->");
    if (arrow == std::string::npos)
        throw std::runtime_error("input script line " + std::to_string(line) + ": no '->'");
    ScriptStep step{line, words(text.substr(0, arrow)), {}};
    std::istringstream records(text.substr(arrow + 2));
    for (std::string record; std::getline(records, record, ';');) {
        if (!words(record).empty()) step.expected.push_back(expectedRecord(record, line));
    }
    return step;
}

}  // namespace

bool InputScript::plays(const std::string& platform, const ScriptStep& step) const {
    const auto lacking = lacks.find(platform);
    return lacking == lacks.end() || !lacking->second.contains(step.input.at(0));
}

InputScript readInputScript(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    InputScript script;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (words(line).empty() || line[0] == '#') continue;
        if (line.rfind("lacks ", 0) == 0) {
            const std::size_t colon = line.find(':');
            const std::vector<std::string> names = words(line.substr(0, colon));
            if (colon == std::string::npos || names.size() != 3)
                throw std::runtime_error("input script line " + std::to_string(number) + ": lacks what?");
            script.lacks[names[1]][names[2]] = line.substr(colon + 1);
            continue;
        }
        script.steps.push_back(scriptStep(line, number));
    }
    return script;
}

std::string describe(const std::vector<Event>& records) {
    std::string text;
    for (const Event& e : records) {
        const std::array<int, 4> slots{e.a, e.b, e.c, e.d};
        text += (text.empty() ? "" : "; ") + recordText(e.type, slots);
    }
    return text.empty() ? "nothing" : text;
}

std::string mismatch(const ScriptStep& step, const std::vector<Event>& records) {
    bool same = records.size() == step.expected.size();
    for (std::size_t i = 0; same && i < records.size(); ++i) {
        const Event& e = records[i];
        const std::array<int, 4> slots{e.a, e.b, e.c, e.d};
        same = e.type == step.expected[i].type;
        for (std::size_t s = 0; same && s < step.expected[i].slots.size(); ++s)
            same = slots[s] == step.expected[i].slots[s];
    }
    if (same) return "";
    std::string expected;
    for (const ExpectedRecord& record : step.expected)
        expected += (expected.empty() ? "" : "; ") + recordText(record.type, record.slots);
    std::string input;
    for (const std::string& word : step.input)
        input += (input.empty() ? "" : " ") + word;
    return "line " + std::to_string(step.line) + " (" + input + "): expected " +
           (expected.empty() ? "nothing" : expected) + ", posted " + describe(records);
}

void writeRecords(const std::string& path, const PlayedSteps& played) {
    std::ofstream out(path);
    for (const auto& [index, records] : played) {
        out << "step " << index << '\n';
        for (const Event& e : records)
            out << "event " << e.type << ' ' << e.a << ' ' << e.b << ' ' << e.c << ' ' << e.d << '\n';
    }
}

std::optional<PlayedSteps> readRecords(const std::string& path) {
    std::ifstream in(path);
    if (!in) return std::nullopt;
    PlayedSteps played;
    int step = -1;
    for (std::string line; std::getline(in, line);) {
        Event e{};
        if (std::sscanf(line.c_str(), "step %d", &step) == 1) {
            played[step];
        } else if (std::sscanf(line.c_str(), "event %d %d %d %d %d", &e.type, &e.a, &e.b, &e.c, &e.d) == 5) {
            played[step].push_back(e);
        }
    }
    return played;
}

}  // namespace zopp::e2e
