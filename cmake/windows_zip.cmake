# cmake -DSOURCE_DIR=... -DEXE=.../zopp.exe -DSTAGE=<folder> -DZIP=<file> -DPYTHON=<python3> -DEPOCH=<seconds>
#       -P windows_zip.cmake
# Stages the Windows player's files in <folder>/zopp, dated EPOCH, and zips them. The Windows Installer
# package is built from the same folder. Texts get Windows line ends, so Notepad shows them right.
file(REMOVE_RECURSE ${STAGE})
set(top ${STAGE}/zopp)
file(MAKE_DIRECTORY ${top}/dat)
file(COPY ${EXE} DESTINATION ${top})
file(GLOB pictures ${SOURCE_DIR}/dat/*.bmp)
file(COPY ${pictures} DESTINATION ${top}/dat)

function(write_text name text)
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${top}/${name} "${text}")
endfunction()

# README.txt: how to start it here, then the README's own section on playing, without Markdown's marks.
file(READ ${SOURCE_DIR}/README.md readme)
string(FIND "${readme}" "## How to play" start)
string(FIND "${readme}" "\n## For contributors" end)
if(start LESS 0 OR end LESS start)
  message(FATAL_ERROR "README.md has no section \"How to play\" followed by \"For contributors\"")
endif()
math(EXPR length "${end} - ${start}")
string(SUBSTRING "${readme}" ${start} ${length} play)
string(REGEX REPLACE "\\*\\*([^*]+)\\*\\*" "\\1" play "${play}")
string(REGEX REPLACE "`([^`]+)`" "\\1" play "${play}")
string(REGEX REPLACE "(^|\n)#+ " "\\1" play "${play}")
write_text(README.txt "ZOPP - a dice game for one to four players at one computer

Start zopp.exe from this folder: it reads its pictures from the dat folder beside it. Nothing needs to be
installed, and the game writes no files. Play with the left mouse button; all texts are German.

${play}
The game is under the MIT license (LICENSE.txt). Its built-in font comes from the VGA BIOS font data,
under the GNU Lesser General Public License 2.1 (FONT-LICENSE.txt).
")
file(READ ${SOURCE_DIR}/LICENSE license)
write_text(LICENSE.txt "${license}")
file(READ ${SOURCE_DIR}/tools/fontdata/COPYING font_license)
file(READ ${SOURCE_DIR}/tools/fontdata/README.md font_notice)
write_text(FONT-LICENSE.txt "${font_notice}\n\n${font_license}")

# The release's date on every file, which both packages record.
file(GLOB_RECURSE staged ${top}/*)
execute_process(COMMAND touch -d @${EPOCH} ${staged} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "dating the files in ${top} failed")
endif()
execute_process(COMMAND ${PYTHON} ${SOURCE_DIR}/packaging/windows/make-zip ${ZIP} ${top} ${EPOCH}
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "zipping ${ZIP} failed")
endif()
