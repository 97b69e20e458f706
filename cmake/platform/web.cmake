# The browser (Emscripten): the frame's page folder, the canvas back-end and the page around the program.
set(ZOPP_SCREEN_BACKEND web)
set(ZOPP_DELIVERY ZoppInstall ZoppPackage)
set(ZOPP_TEST_RUNNER node)  # each suite one CTest test, run by node
