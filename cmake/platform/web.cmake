# The browser (Emscripten): the frame's page folder, the canvas back-end and the page around the program.
set(ZOPP_SCREEN_BACKEND web)
set(ZOPP_DELIVERY ZoppInstall ZoppPackage)
set(ZOPP_TEST_RUNNER node)  # each suite one CTest test, run by node
# Every byte of the program travels at a first visit: optimised for size. (The drawing's inner loops are
# plain row copies and fills, which size optimisation keeps; a click draws in well under a millisecond.)
string(REPLACE "-O3" "-Oz" CMAKE_CXX_FLAGS_RELEASE "${CMAKE_CXX_FLAGS_RELEASE}")
string(REPLACE "-O3" "-Oz" CMAKE_C_FLAGS_RELEASE "${CMAKE_C_FLAGS_RELEASE}")
