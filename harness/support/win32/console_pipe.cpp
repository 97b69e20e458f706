#include "harness/support/console_pipe.h"

#include <fcntl.h>
#include <io.h>

namespace zopp::testing {

// Binary, so what the test types arrives unchanged; the size is the system's buffer, not a limit.
bool openConsolePipe(int (&ends)[2]) {
    return _pipe(ends, 4096, _O_BINARY) == 0;
}

}  // namespace zopp::testing
