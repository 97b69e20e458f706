# Windows (cross-built with MinGW-w64): the frame's Win32 folder, the Win32 back-end, delivered as a zip and
# a Windows Installer package.
set(ZOPP_SCREEN_BACKEND win32)
set(ZOPP_DELIVERY ZoppWindowsPackages)
set(ZOPP_TEST_RUNNER cases)  # each GoogleTest case a CTest test, run under the emulator
