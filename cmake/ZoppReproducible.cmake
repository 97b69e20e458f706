# Release files must come out the same byte for byte whoever builds them, wherever and whenever
# (scripts/package --check compares two builds). A build path would reach a binary through __FILE__ and
# debug information, and MinGW's linker would stamp the link time into the executable's header.
# In a Release build a source or build path is written relative to its folder (other builds keep them
# whole for the debugger); the build folder comes last, as it may lie inside the source folder and the
# compiler tries the last mapping first.
add_compile_options("$<$<CONFIG:Release>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>"
                    "$<$<CONFIG:Release>:-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>")
if(ZOPP_PLATFORM STREQUAL "win32")
  add_link_options(-Wl,--no-insert-timestamp)
endif()

# The date a release carries: SOURCE_DATE_EPOCH when the caller sets it (scripts/package sets it to the
# last commit's time), else the last commit's time, else now. CMake's own time stamps follow it too.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE _zopp_commit_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(_zopp_commit_time MATCHES "^[0-9]+$")
      set(ENV{SOURCE_DATE_EPOCH} ${_zopp_commit_time})
    endif()
  endif()
endif()
string(TIMESTAMP ZOPP_SOURCE_DATE_EPOCH "%s" UTC)
string(TIMESTAMP ZOPP_RELEASE_DATE "%Y-%m-%d" UTC)
# The Debian changelog's form of it (RFC 2822).
string(TIMESTAMP ZOPP_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
