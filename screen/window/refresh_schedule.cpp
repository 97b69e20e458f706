#include "screen/window/refresh_schedule.h"

#include <algorithm>

namespace zopp {

RefreshSchedule::RefreshSchedule(Clock::time_point now)
    : nextBoundary_(now + kRefreshPeriod), settledAt_(now + kInputSettleTime) {}

std::optional<RefreshSchedule::Clock::duration> RefreshSchedule::waitLimit(Clock::time_point now) const {
    if (now >= settledAt_) return std::nullopt;
    return std::max(nextBoundary_ - now, Clock::duration::zero());
}

void RefreshSchedule::cycleBegins(Clock::time_point now, bool input) {
    if (input) settledAt_ = std::max(settledAt_, now + kInputSettleTime);
    if (now < nextBoundary_) return;
    // The boundaries keep their phase; after a stall or an idle spell they restart from now instead of
    // catching up.
    nextBoundary_ += kRefreshPeriod;
    if (nextBoundary_ <= now) nextBoundary_ = now + kRefreshPeriod;
}

}  // namespace zopp
