# The X11 end-to-end harness library, shared by the end-to-end tests and the game benchmark; included
# from both, defined once.
include_guard(GLOBAL)
find_package(X11 REQUIRED)

add_library(zopp_e2e_harness STATIC ${CMAKE_CURRENT_LIST_DIR}/x11_harness.cpp)
target_include_directories(zopp_e2e_harness PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(zopp_e2e_harness PUBLIC X11::X11 X11::Xtst X11::Xext PRIVATE zopp_options)
# Sanitized programs under test report leaks of system libraries they load; the harness hands them these
# suppressions.
target_compile_definitions(zopp_e2e_harness PRIVATE ZOPP_LSAN_SUPPRESSIONS="${CMAKE_CURRENT_LIST_DIR}/lsan.supp")
