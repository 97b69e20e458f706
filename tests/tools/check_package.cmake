# Runs lintian on the Debian package scripts/package built; any error or warning fails:
#   cmake -DPACKAGE=<.deb> -P check_package.cmake
# Prints "SKIPPED:" when the package or lintian is missing (scripts/test provides both).
cmake_minimum_required(VERSION 3.25)
find_program(LINTIAN lintian)
if(NOT EXISTS "${PACKAGE}")
  message("SKIPPED: no ${PACKAGE}; scripts/package builds it")
  return()
endif()
if(NOT LINTIAN)
  message("SKIPPED: lintian is missing")
  return()
endif()
execute_process(COMMAND ${LINTIAN} --fail-on error,warning --info "${PACKAGE}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message("${output}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lintian found errors or warnings (exit ${result}):\n${output}${errors}")
endif()
