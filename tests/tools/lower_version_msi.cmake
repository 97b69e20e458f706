# Builds the Windows Installer package of a lower version (0.0.1) of the cross build's staged files, for
# the test that installs this version's package over it:
#   cmake -DWIXL=<wixl> -DPYTHON=<python3> -DSOURCE_DIR=... -DSTAGE=<folder> -DMSI=<file> -P lower_version_msi.cmake
# Prints "SKIPPED:" when wixl or the staged files (target windows_msi of the cross build) are missing.
cmake_minimum_required(VERSION 3.25)
file(REMOVE "${MSI}")
if(NOT WIXL OR NOT EXISTS "${STAGE}/zopp/zopp.exe")
  message("SKIPPED: no wixl or no ${STAGE}/zopp/zopp.exe; scripts/package provides both")
  return()
endif()
set(VERSION 0.0.1)
set(EPOCH 0)
include(${SOURCE_DIR}/cmake/windows_msi.cmake)
