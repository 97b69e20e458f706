# Installs the build into a fresh prefix and checks what a desktop needs to start the game and to list it:
#   cmake -DBUILD_DIR=<build> -DPREFIX=<scratch folder> -P check_install.cmake
# The prefix holds a blank, so that quoting faults show.
cmake_minimum_required(VERSION 3.25)
set(prefix "${PREFIX}/installed game")
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(pictures background 0 1 2 3 4 5 6 scb0 scb1 lock0 lock1 button0 button1 checkmark0 checkmark1)
foreach(name IN LISTS pictures)
  if(NOT EXISTS "${prefix}/share/games/zopp/dat/${name}.bmp")
    message(FATAL_ERROR "dat/${name}.bmp is not installed beside the game")
  endif()
endforeach()
foreach(file games/zopp lib/games/zopp/zopp share/icons/hicolor/32x32/apps/zopp.png
             share/icons/hicolor/48x48/apps/zopp.png share/icons/hicolor/256x256/apps/zopp.png
             share/man/man6/zopp.6.gz share/doc/zopp/copyright share/doc/zopp/changelog.gz)
  if(NOT EXISTS "${prefix}/${file}")
    message(FATAL_ERROR "${file} is not installed")
  endif()
endforeach()

# One desktop entry and one metainfo file, both named by the game's id, which the metainfo launches.
file(GLOB entries "${prefix}/share/applications/*.desktop")
file(GLOB metainfo "${prefix}/share/metainfo/*.metainfo.xml")
list(LENGTH entries entry_count)
list(LENGTH metainfo metainfo_count)
if(NOT entry_count EQUAL 1 OR NOT metainfo_count EQUAL 1)
  message(FATAL_ERROR "expected one desktop entry and one metainfo file: ${entries} ${metainfo}")
endif()
get_filename_component(id "${entries}" NAME_WLE)
file(READ "${metainfo}" component)
foreach(element "<id>${id}</id>" "<launchable type=\"desktop-id\">${id}.desktop</launchable>")
  string(FIND "${component}" "${element}" at)
  if(at LESS 0)
    message(FATAL_ERROR "the metainfo lacks '${element}'")
  endif()
endforeach()
if(NOT metainfo STREQUAL "${prefix}/share/metainfo/${id}.metainfo.xml")
  message(FATAL_ERROR "the metainfo file is not named by the id '${id}': ${metainfo}")
endif()

file(STRINGS "${entries}" entry)
foreach(line "[Desktop Entry]" "Type=Application" "Exec=\"${prefix}/games/zopp\""
             "Path=${prefix}/share/games/zopp" "Icon=zopp")
  if(NOT line IN_LIST entry)
    message(FATAL_ERROR "the desktop entry lacks '${line}':\n${entry}")
  endif()
endforeach()

# The launcher must start the game in the folder with dat/, also when called through a link from
# elsewhere: a stand-in game reports its working directory.
set(fake "${PREFIX}/moved tree")
file(COPY "${prefix}/games" "${prefix}/share" DESTINATION "${fake}")
file(WRITE "${fake}/lib/games/zopp/zopp" "#!/bin/sh\npwd > \"$1\"\n")
file(CHMOD "${fake}/lib/games/zopp/zopp" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
file(CREATE_LINK "${fake}/games/zopp" "${PREFIX}/zopp-link" SYMBOLIC)
execute_process(COMMAND "${PREFIX}/zopp-link" "${PREFIX}/cwd.txt" WORKING_DIRECTORY "${PREFIX}"
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the launcher failed: ${result}")
endif()
file(STRINGS "${PREFIX}/cwd.txt" cwd)
file(REAL_PATH "${fake}/share/games/zopp" expected)
if(NOT cwd STREQUAL expected)
  message(FATAL_ERROR "the launcher started the game in '${cwd}', not in '${expected}'")
endif()
