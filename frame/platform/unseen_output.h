// Seam: what the frame has to tell the person at the computer (the run-time error report, the processor
// message) when the stream it was written to leads nowhere they can read. A windowed program started from
// the Windows desktop has no standard streams at all, so there the text also appears in a message box.
// POSIX leaves the streams to whoever started the program, and the browser already shows the report on
// the page: nothing to do on either.
#pragma once

#include <string_view>

namespace zopp::platform {

enum class StandardStream { Output, Error };

// Called after `text` went to `stream`, at the end of the program (the window, if any, is closed): when the
// stream leads nowhere, shows the text to the person and returns once they have dismissed it.
void showIfUnseen(StandardStream stream, std::string_view text);

}  // namespace zopp::platform
