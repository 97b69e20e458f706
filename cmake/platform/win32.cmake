# Windows (cross-built with MinGW-w64): the frame's Win32 folder, the Win32 back-end, delivered as a zip.
set(ZOPP_SCREEN_BACKEND win32)
set(ZOPP_DELIVERY ZoppWindowsZip)
set(ZOPP_TEST_RUNNER cases)  # each GoogleTest case a CTest test, run under the emulator
