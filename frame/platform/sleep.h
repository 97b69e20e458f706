// Seam: the plain sleep under sleepMs and the beep. Which sleeps watch the key flag is decided by the
// shared rules; this only waits. A one-thread host (the browser) yields to its own callbacks meanwhile,
// so the refresh work keeps running while the program sleeps.
#pragma once

#include <cstdint>

namespace zopp::platform {

// Sleeps the calling thread for at least `ms` (> 0) milliseconds on a monotonic clock, resuming after
// interruptions: nothing cuts it short. It may end somewhat late; the platform picks its granularity
// (1 ms where the system allows).
void sleepAtLeastMs(std::int32_t ms);

}  // namespace zopp::platform
