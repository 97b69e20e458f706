# The unit suites that run in WebAssembly, under node: the rules and the drawing, through the window-less
# back-end. Left out: suites that need threads (a page has one), death tests (no processes) and the
# window back-ends of other platforms.
#
# GoogleTest is built from Debian's source package, with the same compiler as the code under test; a page
# has one thread.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
include(${PROJECT_SOURCE_DIR}/cmake/GoogleTestFromSource.cmake)

set(T ${CMAKE_CURRENT_LIST_DIR}/..)

zopp_test(web_random_test SOURCES ${T}/frame/random_test.cpp LIBS zopp_frame)
zopp_test(web_random_unseeded_test SOURCES ${T}/frame/random_unseeded_test.cpp LIBS zopp_frame)
zopp_test(web_beep_test SOURCES ${T}/frame/beep_test.cpp LIBS zopp_frame)
zopp_test(web_scoring_test SOURCES ${T}/game/scoring_test.cpp ${PROJECT_SOURCE_DIR}/game/scoring.cpp)
zopp_test(web_dice_test SOURCES ${T}/game/dice_test.cpp ${PROJECT_SOURCE_DIR}/game/dice.cpp LIBS zopp_frame)

add_library(zopp_web_test_support STATIC ${PROJECT_SOURCE_DIR}/harness/support/memory_screen_fixture.cpp)
target_link_libraries(zopp_web_test_support PUBLIC zopp_screen GTest::gtest PRIVATE zopp_options)
target_include_directories(zopp_web_test_support PUBLIC ${PROJECT_SOURCE_DIR})
add_library(zopp_web_bmp_builder STATIC ${PROJECT_SOURCE_DIR}/harness/support/bmp_builder.cpp)
target_include_directories(zopp_web_bmp_builder PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(zopp_web_bmp_builder PRIVATE zopp_options)

zopp_test(web_text_test
  SOURCES ${T}/screen/lzw_test.cpp ${T}/screen/font_table_test.cpp ${T}/screen/text_test.cpp
          ${T}/screen/image_font_test.cpp
  LIBS zopp_web_test_support zopp_font_tools)
zopp_test(web_screen_images_test
  SOURCES ${T}/screen/image_test.cpp ${T}/screen/bmp_loader_test.cpp ${T}/screen/blit_test.cpp
          ${T}/screen/line_test.cpp
  LIBS zopp_web_test_support zopp_web_bmp_builder)
zopp_test(web_event_queue_test SOURCES ${T}/screen/event_queue_test.cpp LIBS zopp_web_test_support)
zopp_test(web_presentation_test SOURCES ${T}/screen/presentation_test.cpp ${T}/screen/scan_codes_test.cpp
              LIBS zopp_web_test_support)
zopp_test(web_event_translator_test SOURCES ${T}/screen/event_translator_test.cpp
              LIBS zopp_web_test_support)

# The browser platform's own pieces.
zopp_test(web_platform_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/page_input_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/web_frame_test.cpp
  LIBS zopp_screen zopp_frame)

# Faults in a page: a probe program that faults as its page asks.
add_executable(web_fault_probe ${CMAKE_CURRENT_LIST_DIR}/fault_probe.cpp)
target_link_libraries(web_fault_probe PRIVATE zopp_screen zopp_frame zopp_options)
target_include_directories(web_fault_probe PRIVATE ${PROJECT_SOURCE_DIR})
target_link_options(web_fault_probe PRIVATE -sENVIRONMENT=web)
set_target_properties(web_fault_probe PROPERTIES OUTPUT_NAME zopp RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fault-probe)
# In every engine, with the drivers scripts/build-web --suites installs first.
foreach(_engine chromium firefox webkit)
  add_test(NAME web_fault_reports.${_engine}
    COMMAND ${ZOPP_NODE} ${CMAKE_CURRENT_LIST_DIR}/fault_e2e.mjs ${PROJECT_BINARY_DIR}/fault-probe)
  set_tests_properties(web_fault_reports.${_engine} PROPERTIES ENVIRONMENT ZOPP_ENGINE=${_engine})
endforeach()
set_property(GLOBAL APPEND PROPERTY ZOPP_WEB_SUITES web_fault_probe)

# The window end-to-end probe in a page, played by the input script from the Linux build's tests
# (tests/e2e/input_script_e2e.mjs), which find it in screen-probe/ of this build.
add_executable(web_screen_probe ${T}/e2e/screen_probe.cpp)
target_link_libraries(web_screen_probe PRIVATE zopp_screen zopp_frame zopp_options)
target_include_directories(web_screen_probe PRIVATE ${PROJECT_SOURCE_DIR})
target_link_options(web_screen_probe PRIVATE -sENVIRONMENT=web)
set_target_properties(web_screen_probe PROPERTIES OUTPUT_NAME zopp RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/screen-probe)
set_property(GLOBAL APPEND PROPERTY ZOPP_WEB_SUITES web_screen_probe)

get_property(_suites GLOBAL PROPERTY ZOPP_WEB_SUITES)
add_custom_target(zopp_web_suites DEPENDS ${_suites})
