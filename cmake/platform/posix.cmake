# Linux and other POSIX systems: the frame's POSIX folder, the SDL back-end, delivered by the install rules
# and a Debian package.
set(ZOPP_SCREEN_BACKEND sdl)
set(ZOPP_DELIVERY ZoppInstall ZoppPackage)
find_package(SDL2 REQUIRED)
set(ZOPP_TEST_RUNNER cases)  # each GoogleTest case a CTest test
