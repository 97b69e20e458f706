# cmake -DPIXELS=screen/backend/window_icon.cpp -DOUTPUT=<file>.rc -P program_icon.cmake
# The program's icon resource, which Explorer shows for zopp.exe, from the one icon picture the window uses
# (its 32×32 0xAARRGGBB values in window_icon.cpp). Written as raw resources, so no icon file is needed:
# an RT_ICON image (a bitmap header, the pixels bottom-up, an empty AND mask) and an RT_GROUP_ICON
# directory naming it.
file(READ ${PIXELS} source)
string(FIND "${source}" "{" start)
string(SUBSTRING "${source}" ${start} -1 source)
string(REGEX MATCHALL "0x[0-9A-Fa-f]+" pixels "${source}")
list(LENGTH pixels count)
if(NOT count EQUAL 1024)
  message(FATAL_ERROR "${PIXELS} holds ${count} pixels, not 32 × 32")
endif()

set(size 32)
math(EXPR imageBytes "40 + ${size} * ${size} * 4 + ${size} * 4")
set(rc "// Generated from ${PIXELS} by program_icon.cmake.\n1 3\nBEGIN\n")
# BITMAPINFOHEADER: the height counts the colour and the mask rows together.
string(APPEND rc "  40L, ${size}L, 64L, 1, 32, 0L, 0L, 0L, 0L, 0L, 0L,\n")
foreach(row RANGE 31 0 -1)
  math(EXPR first "${row} * ${size}")
  math(EXPR last "${first} + ${size} - 1")
  set(line "")
  foreach(i RANGE ${first} ${last})
    list(GET pixels ${i} pixel)
    string(APPEND line " ${pixel}L,")
  endforeach()
  string(APPEND rc " ${line}\n")
endforeach()
string(REPEAT "0L, " ${size} mask)
string(REGEX REPLACE ", $" "" mask "${mask}")
string(APPEND rc "  ${mask}\nEND\n\n")
# GRPICONDIR (reserved, type 1 = icon, one entry) and its entry: width and height, colours and reserved
# as bytes packed into words, planes, bits per pixel, the image's size and its id.
string(APPEND rc "1 14\nBEGIN\n  0, 1, 1, 0x2020, 0, 1, 32, ${imageBytes}L, 1\nEND\n")
file(WRITE ${OUTPUT} "${rc}")
