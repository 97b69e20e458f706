// Seam: the one value a platform keeps for the program from one run to the next. A browser page keeps it
// in the site's storage, as a tab may be ended or reloaded at any moment; a desktop program's work ends with
// its window, so desktop platforms keep nothing.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace zopp::platform {

// Whether a value kept here outlives the run.
bool keepsValues();

// The value an earlier run kept, or an empty vector (none, or storage that cannot be read: the platform
// says why once).
std::vector<std::uint8_t> readKeptValue();

// Replaces the kept value whole, at once. `inProgress`: the value holds unfinished work, which the platform
// may offer to leave and keep the device awake for. Storage that refuses is the platform's to report, once.
void writeKeptValue(std::span<const std::uint8_t> value, bool inProgress);

// Tells the person, once, why the kept value was not taken up (where they would look: a page's console).
void sayKeptValueRejected(std::string_view why);

}  // namespace zopp::platform
