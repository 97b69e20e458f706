#include "harness/support/console_pipe.h"

#include <unistd.h>

namespace zopp::testing {

bool openConsolePipe(int (&ends)[2]) {
    return pipe(ends) == 0;
}

}  // namespace zopp::testing
