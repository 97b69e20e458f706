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

# The Wayland compositor of the end-to-end tests, weston, with the hooks the tests load into it; both
# optional: without them the Wayland cases skip.
find_program(ZOPP_WESTON weston)
find_package(PkgConfig)
if(PkgConfig_FOUND)
  pkg_check_modules(ZOPP_LIBWESTON IMPORTED_TARGET libweston-10 libweston-desktop-10)
endif()
target_sources(zopp_e2e_harness PRIVATE ${CMAKE_CURRENT_LIST_DIR}/weston_server.cpp)
if(ZOPP_WESTON AND ZOPP_LIBWESTON_FOUND)
  add_library(zopp_weston_hooks MODULE ${CMAKE_CURRENT_LIST_DIR}/weston_test_seat.c)
  target_link_libraries(zopp_weston_hooks PRIVATE PkgConfig::ZOPP_LIBWESTON)
  # It runs inside weston, which has no sanitizer runtime to call.
  set_target_properties(zopp_weston_hooks PROPERTIES COMPILE_OPTIONS "" LINK_OPTIONS "")
  add_dependencies(zopp_e2e_harness zopp_weston_hooks)
  target_compile_definitions(zopp_e2e_harness PRIVATE ZOPP_WESTON="${ZOPP_WESTON}"
                             ZOPP_WESTON_HOOKS="$<TARGET_FILE:zopp_weston_hooks>")
else()
  target_compile_definitions(zopp_e2e_harness PRIVATE ZOPP_WESTON="" ZOPP_WESTON_HOOKS="")
endif()
