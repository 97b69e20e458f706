#include "screen/sdl/sdl_gl_driver.h"

#include <dlfcn.h>
#include <link.h>

#include <cstddef>

namespace zopp {

namespace {

// Marks one loaded object as never to be unloaded; the main program has no name and needs nothing.
int pin(dl_phdr_info* info, std::size_t, void*) {
    if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0') {
        static_cast<void>(dlopen(info->dlpi_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE));
    }
    return 0;
}

}  // namespace

void keepGlDriverLoaded() {
    dl_iterate_phdr(pin, nullptr);
}

}  // namespace zopp
