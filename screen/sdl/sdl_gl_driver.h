// The GL driver SDL loads for an OpenGL window.
#pragma once

namespace zopp {

// Keeps every library loaded so far, the GL driver among them, in memory until the process ends. Closing
// the display otherwise unloads the driver while memory it allocated is still referenced from its own
// globals: that memory would then look lost to leak checkers, and a reopened window would load the driver
// again.
void keepGlDriverLoaded();

}  // namespace zopp
