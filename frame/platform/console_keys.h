// Seam: the key watch used while no screen is open: the console's standard input. A platform without a
// console (the browser) reports no key.
#pragma once

namespace zopp::platform {

// True when input is waiting on standard input; the waiting input is consumed, so each key press is seen
// once. A terminal in line mode delivers keys when the line is entered. End of input is no key. Never
// blocks.
bool consoleKeyPressed();

}  // namespace zopp::platform
