// The window's icon from the program's one icon picture.
#pragma once

#include <windows.h>

namespace zopp {

// An icon of size × size pixels (the picture scaled to the nearest pixel); null when the system refuses.
HICON makeWindowIcon(int size);

}  // namespace zopp
