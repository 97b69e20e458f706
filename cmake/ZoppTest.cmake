# zopp_test(<name> SOURCES ... [LIBS ...] [DEFINITIONS ...] [ENV ...] [LABELS ...] [PROPERTIES ...]
#           [PREFIX <prefix>]): one GoogleTest program of this build, registered with CTest under its
# platform's runner, its tests given the labels and the other test properties:
# - natively, each case is a CTest test of its own (named <prefix><case>); a cross build runs them through
#   its emulator (Wine for Windows);
# - in a browser build the program runs under node, one CTest test for the whole suite (<prefix><name>):
#   starting node costs more than most suites take.
# Every program runs through cmake/gtest-run, which fails it when it ended before GoogleTest's run did
# (an exit from inside a test passes CTest's exit-status check otherwise).
# Tests that open a screen run on SDL's invisible drivers unless ENV says otherwise. Programs labelled
# "threads" (where threads meet) are also built by the target zopp_threaded_tests, for the thread checker.
add_custom_target(zopp_threaded_tests)
set(ZOPP_GTEST_RUN ${PROJECT_SOURCE_DIR}/cmake/gtest-run)

# The source and build folders reach the tests through this one object (harness/support/test_paths.h); the
# paths the tests are handed are relative to them (zopp_build_path below), so that every other test source
# compiles the same in any checkout and the compiler cache shares it.
add_library(zopp_test_paths STATIC ${PROJECT_SOURCE_DIR}/harness/support/test_paths.cpp)
target_include_directories(zopp_test_paths PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_definitions(zopp_test_paths PRIVATE ZOPP_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                           ZOPP_BINARY_DIR="${PROJECT_BINARY_DIR}")
target_link_libraries(zopp_test_paths PRIVATE zopp_options)

# zopp_build_path(<variable> <path>): the path relative to the build folder, generator expressions allowed.
function(zopp_build_path variable path)
  set(${variable} "$<PATH:RELATIVE_PATH,${path},${PROJECT_BINARY_DIR}>" PARENT_SCOPE)
endfunction()

if(ZOPP_TEST_RUNNER STREQUAL "node")
  # Node runs the suites with the real file system, so they read the source tree's files as natively. Its
  # fetch would take the place of the file system's reads, so it stays off.
  find_program(ZOPP_NODE node REQUIRED)
  set(ZOPP_NODE_RUN ${ZOPP_NODE} --no-experimental-fetch)
endif()

function(zopp_test name)
  cmake_parse_arguments(T "" "PREFIX" "SOURCES;LIBS;DEFINITIONS;ENV;LABELS;PROPERTIES" ${ARGN})
  # An empty value would shift the property list by one; labels go in only when there are some.
  set(_properties ${T_PROPERTIES})
  if(T_LABELS)
    list(APPEND _properties LABELS "${T_LABELS}")
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main zopp_test_paths zopp_options)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE ${T_DEFINITIONS})
  if(ZOPP_TEST_RUNNER STREQUAL "node")
    # The code under test is compiled optimised as the page's; the link's optimiser passes, which took
    # eight times as long as the rest of the link for every suite, are kept light.
    target_link_options(${name} PRIVATE -sNODERAWFS -sENVIRONMENT=node -sALLOW_MEMORY_GROWTH -sEXIT_RUNTIME
                        --pre-js ${PROJECT_SOURCE_DIR}/harness/web/node_environment.js -O1)
    add_test(NAME ${T_PREFIX}${name} COMMAND ${ZOPP_GTEST_RUN} ${ZOPP_NODE_RUN} $<TARGET_FILE:${name}>)
    if(_properties)
      set_tests_properties(${T_PREFIX}${name} PROPERTIES ${_properties})
    endif()
    set_property(GLOBAL APPEND PROPERTY ZOPP_WEB_SUITES ${name})
  else()
    # gtest_discover_tests flattens list-valued properties, so the variables go through `env` as the
    # test's launcher instead; it prefixes both the discovery run and every test.
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
      "${ZOPP_GTEST_RUN};env;SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy;${T_ENV};${CMAKE_CROSSCOMPILING_EMULATOR}")
    if(_properties)
      list(PREPEND _properties PROPERTIES)
    endif()
    gtest_discover_tests(${name} TEST_PREFIX "${T_PREFIX}" DISCOVERY_TIMEOUT 60 ${_properties})
  endif()
  if("threads" IN_LIST T_LABELS)
    add_dependencies(zopp_threaded_tests ${name})
  endif()
endfunction()
