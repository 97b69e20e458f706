#include "frame/keeping.h"

#include <atomic>

#include "frame/events.h"
#include "frame/platform/kept_value.h"

namespace zopp {

namespace {

std::atomic<bool> leaveRequested{false};

}  // namespace

bool platformKeepsValues() {
    return platform::keepsValues();
}

std::vector<std::uint8_t> keptValue() {
    return platform::readKeptValue();
}

void keepValue(std::span<const std::uint8_t> value, bool inProgress) {
    platform::writeKeptValue(value, inProgress);
}

void sayKeptValueRejected(std::string_view why) {
    platform::sayKeptValueRejected(why);
}

bool takeLeaveRequest() {
    return leaveRequested.exchange(false);
}

void requestLeave() {
    leaveRequested.store(true);
    wakeIdleProgram();
}

}  // namespace zopp
