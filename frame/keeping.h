// What the platform keeps for the program from one run to the next: one value, written whole (in a browser
// page its storage, which survives a killed tab or a reload; desktop platforms keep nothing), and the
// person's request, made outside the window, to leave the work in progress.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace zopp {

// Whether keepValue's value outlives the run; when false it keeps nothing and keptValue is empty.
bool platformKeepsValues();

// The value an earlier run kept, or an empty vector.
std::vector<std::uint8_t> keptValue();

// Replaces the kept value whole. `inProgress`: it holds unfinished work, which the platform may offer to
// leave and keep the device awake for.
void keepValue(std::span<const std::uint8_t> value, bool inProgress);

// Tells the person, once, why keptValue's value was not taken up.
void sayKeptValueRejected(std::string_view why);

// True once after the person asked to leave the work in progress; what leaving means is the program's.
bool takeLeaveRequest();

// The platform's side: records the request and ends the program's idle wait, so it is taken at once.
void requestLeave();

}  // namespace zopp
