# Packs the Windows zip and msi of the cross build's program twice, in two folders of different names a
# second apart, and expects the same bytes: neither may record the time of packing, the folder or the
# order a file system lists the files in:
#   cmake -DWIXL=<wixl> -DPYTHON=<python3> -DSOURCE_DIR=... -DEXE=<zopp.exe> -DSCRATCH=<folder>
#         -P check_windows_repacking.cmake
# Prints "SKIPPED:" when wixl or the program is missing.
cmake_minimum_required(VERSION 3.25)
if(NOT WIXL OR NOT EXISTS "${EXE}")
  message("SKIPPED: no wixl or no ${EXE}")
  return()
endif()
file(REMOVE_RECURSE "${SCRATCH}")
set(EPOCH 1700000000)
set(VERSION 0.0.1)
foreach(run first second-somewhere-else)
  if(run STREQUAL "second-somewhere-else")
    execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 1.1)
  endif()
  set(STAGE "${SCRATCH}/${run}/stage")
  set(ZIP "${SCRATCH}/${run}/zopp.zip")
  set(MSI "${SCRATCH}/${run}/zopp.msi")
  include(${SOURCE_DIR}/cmake/windows_zip.cmake)
  include(${SOURCE_DIR}/cmake/windows_msi.cmake)
endforeach()
foreach(package zopp.zip zopp.msi)
  file(SHA256 "${SCRATCH}/first/${package}" first)
  file(SHA256 "${SCRATCH}/second-somewhere-else/${package}" second)
  if(NOT first STREQUAL second)
    message(FATAL_ERROR "${package} packed twice differs; both are kept in ${SCRATCH}")
  endif()
endforeach()
file(REMOVE_RECURSE "${SCRATCH}")
