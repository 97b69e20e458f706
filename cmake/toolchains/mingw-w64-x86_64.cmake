# Cross-compiles for 64-bit Windows with MinGW-w64 (its POSIX-threads flavour, so std::thread works) and
# runs the built programs under Wine:
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_zopp_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_zopp_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_zopp_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_zopp_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_zopp_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything linked in: the exe runs beside its dat folder with no DLL of the toolchain next to it. A
# release build drops its symbol table, two thirds of the file.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")

# Programs run under Wine in the build's own prefix, created on first use, with no display unless the
# caller names one (the end-to-end harness does).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run;${CMAKE_BINARY_DIR}/wine-prefix)
