# Installs the build into a fresh prefix and runs the desktop's own validators on the desktop entry and
# the AppStream metainfo:
#   cmake -DBUILD_DIR=<build> -DPREFIX=<scratch folder> -P validate_install.cmake
# Prints "SKIPPED:" when a validator is missing (scripts/test installs them).
cmake_minimum_required(VERSION 3.25)
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
find_program(APPSTREAMCLI appstreamcli)
if(NOT DESKTOP_FILE_VALIDATE OR NOT APPSTREAMCLI)
  message("SKIPPED: desktop-file-validate (desktop-file-utils) or appstreamcli (appstream) is missing")
  return()
endif()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

file(GLOB entries "${PREFIX}/share/applications/*.desktop")
file(GLOB metainfo "${PREFIX}/share/metainfo/*.metainfo.xml")
if(NOT entries OR NOT metainfo)
  message(FATAL_ERROR "no desktop entry or metainfo installed")
endif()
execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${entries} RESULT_VARIABLE result OUTPUT_VARIABLE output
                ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR output)
  message(FATAL_ERROR "desktop-file-validate: ${output}")
endif()
# Any finding but a pedantic one fails (--strict); --no-net keeps the check off the network.
execute_process(COMMAND ${APPSTREAMCLI} validate --no-net --strict ${metainfo} RESULT_VARIABLE result
                OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "appstreamcli validate: ${output}")
endif()
