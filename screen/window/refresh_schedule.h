// When the refresh loop's next cycle must run at the latest. Drawing and input wake the loop whenever
// they happen, so a window nobody touches costs no wake-ups at all: the refresh period is an upper bound
// on how stale the window may be, not a duty to wake. The loop keeps to the period only while the
// platform may still be finishing work of its own that neither drawing nor input would announce: for a
// while after the window was created and after any input (a toolkit may deliver a notification later,
// such as a focus change it holds back for some 200 ms), and always on a platform that cannot tell input
// apart (it reports input on every wait).
#pragma once

#include <chrono>
#include <optional>

namespace zopp {

inline constexpr auto kRefreshPeriod = std::chrono::milliseconds(10);
// How long after input the loop keeps to the refresh period.
inline constexpr auto kInputSettleTime = std::chrono::milliseconds(300);

class RefreshSchedule {
  public:
    using Clock = std::chrono::steady_clock;

    // The window was created at `now`: it settles like after input.
    explicit RefreshSchedule(Clock::time_point now);

    // The longest the loop may wait before its next cycle: zero when a period boundary has passed, none
    // (wait until woken or input arrives) once the window has settled.
    std::optional<Clock::duration> waitLimit(Clock::time_point now) const;

    // A cycle begins at `now`; `input` says the wait before it ended on input.
    void cycleBegins(Clock::time_point now, bool input);

  private:
    Clock::time_point nextBoundary_;
    Clock::time_point settledAt_;
};

}  // namespace zopp
