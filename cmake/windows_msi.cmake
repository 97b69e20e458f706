# cmake -DWIXL=<wixl> -DPYTHON=<python3> -DSOURCE_DIR=... -DSTAGE=<folder> -DVERSION=<x.y> -DEPOCH=<seconds>
#       -DMSI=<file> -P windows_msi.cmake
# Builds the Windows Installer package of the files staged in <folder>/zopp (zopp.exe, dat\, the license
# texts) from packaging/windows/zopp.wxs, with an icon made from the desktop icons, and pins what wixl
# would stamp with the time of the build.
#
# The upgrade code never changes, so that a newer version's package replaces the one installed; the
# product code changes with the version, as such a major upgrade needs, and is derived from it.
set(UPGRADE_CODE 5B0E8D7A-3C21-4F6B-9D2E-0A7F1C4B8E63)
string(UUID product_code NAMESPACE ${UPGRADE_CODE} NAME "zopp ${VERSION}" TYPE SHA1 UPPER)
set(windows ${SOURCE_DIR}/packaging/windows)
set(icons ${SOURCE_DIR}/packaging/icons)
execute_process(COMMAND ${PYTHON} ${windows}/make-icon ${STAGE}/zopp.ico ${icons}/32x32/apps/zopp.png
                        ${icons}/48x48/apps/zopp.png RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "making ${STAGE}/zopp.ico failed")
endif()
# wixl looks for the files named in the source in its working folder.
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${WIXL} -a x64 -D Version=${VERSION}
                        -D ProductCode=${product_code} -D UpgradeCode=${UPGRADE_CODE} -o ${MSI} ${windows}/zopp.wxs
                WORKING_DIRECTORY ${STAGE} RESULT_VARIABLE failed)
if(NOT failed)
  execute_process(COMMAND ${PYTHON} ${windows}/pin-msi-summary ${MSI} ${EPOCH} RESULT_VARIABLE failed)
endif()
if(failed)
  file(REMOVE ${MSI})
  message(FATAL_ERROR "building ${MSI} failed")
endif()
