// What the screen probe prints of its events, read back by the window tests, and waiting for a window's
// state, which changes on the refresh thread after the program's drawing.
#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace zopp::e2e {

struct Event {
    int type, a, b, c, d;
};

// The "event type a b c d" lines among the probe's output.
inline std::vector<Event> eventsOf(const std::vector<std::string>& lines) {
    std::vector<Event> events;
    for (const std::string& line : lines) {
        Event e{};
        if (std::sscanf(line.c_str(), "event %d %d %d %d %d", &e.type, &e.a, &e.b, &e.c, &e.d) == 5)
            events.push_back(e);
    }
    return events;
}

// Whether the condition came true within 10 s.
inline bool eventually(const std::function<bool()>& condition) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace zopp::e2e
