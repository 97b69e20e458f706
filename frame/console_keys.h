// The key watch used while no screen is open: the console's standard input.
#pragma once

namespace zopp {

// True when input is waiting on standard input; the waiting input is consumed, so each key press is seen
// once. A terminal in line mode delivers keys when the line is entered. End of input is no key.
bool consoleKeyPressed();

}  // namespace zopp
