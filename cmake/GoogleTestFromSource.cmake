# GoogleTest compiled inside the build from Debian's source package, for targets that have no prebuilt
# library of it (the Windows cross build, the browser build). Defines GTest::gtest and GTest::gtest_main as find_package does.
set(ZOPP_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's source tree")
if(NOT EXISTS ${ZOPP_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest source at ${ZOPP_GOOGLETEST_SOURCE} (Debian package googletest)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${ZOPP_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
