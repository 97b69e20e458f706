# The Windows player's packages in the build folder, made from one staged folder (windows-stage/zopp):
#   zopp-<version>-windows-x64.zip  (target windows_zip): zopp.exe beside its dat folder, a README.txt on
#                                   how to play (taken from README.md) and the license texts
#   zopp-<version>-windows-x64.msi  (target windows_msi): the Windows Installer package of the same
#                                   program, pictures and license texts (cmake/windows_msi.cmake)
# scripts/package copies both to dist/. Both are the same byte for byte for the same sources: their
# files carry the release's date (ZOPP_SOURCE_DATE_EPOCH), which the build files note here, so that a new
# date packs them again.
set(ZOPP_WINDOWS_STAGE ${CMAKE_BINARY_DIR}/windows-stage)
set(ZOPP_WINDOWS_ZIP ${CMAKE_BINARY_DIR}/zopp-${PROJECT_VERSION}-windows-x64.zip)
set(ZOPP_WINDOWS_MSI ${CMAKE_BINARY_DIR}/zopp-${PROJECT_VERSION}-windows-x64.msi)
set(_zopp_windows ${PROJECT_SOURCE_DIR}/packaging/windows)
set(_zopp_release_date ${CMAKE_BINARY_DIR}/release-date.txt)
file(CONFIGURE OUTPUT ${_zopp_release_date} CONTENT "${ZOPP_SOURCE_DATE_EPOCH}\n")
find_program(ZOPP_PYTHON python3 REQUIRED)

file(GLOB _zopp_pictures CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/dat/*.bmp)
add_custom_command(
  OUTPUT ${ZOPP_WINDOWS_ZIP}
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DEXE=$<TARGET_FILE:zopp>
          -DSTAGE=${ZOPP_WINDOWS_STAGE} -DZIP=${ZOPP_WINDOWS_ZIP} -DPYTHON=${ZOPP_PYTHON}
          -DEPOCH=${ZOPP_SOURCE_DATE_EPOCH} -P ${PROJECT_SOURCE_DIR}/cmake/windows_zip.cmake
  DEPENDS zopp ${_zopp_pictures} ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/cmake/windows_zip.cmake
          ${_zopp_windows}/make-zip ${_zopp_release_date}
  COMMENT "Packing ${ZOPP_WINDOWS_ZIP}")
add_custom_target(windows_zip DEPENDS ${ZOPP_WINDOWS_ZIP})

find_program(ZOPP_WIXL wixl)
if(ZOPP_WIXL)
  add_custom_command(
    OUTPUT ${ZOPP_WINDOWS_MSI}
    COMMAND ${CMAKE_COMMAND} -DWIXL=${ZOPP_WIXL} -DPYTHON=${ZOPP_PYTHON} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
            -DSTAGE=${ZOPP_WINDOWS_STAGE} -DVERSION=${PROJECT_VERSION} -DEPOCH=${ZOPP_SOURCE_DATE_EPOCH}
            -DMSI=${ZOPP_WINDOWS_MSI} -P ${PROJECT_SOURCE_DIR}/cmake/windows_msi.cmake
    DEPENDS ${ZOPP_WINDOWS_ZIP} ${PROJECT_SOURCE_DIR}/cmake/windows_msi.cmake ${_zopp_windows}/zopp.wxs
            ${_zopp_windows}/pin-msi-summary ${_zopp_windows}/make-icon
            ${PROJECT_SOURCE_DIR}/packaging/icons/32x32/apps/zopp.png
            ${PROJECT_SOURCE_DIR}/packaging/icons/48x48/apps/zopp.png
    COMMENT "Building ${ZOPP_WINDOWS_MSI}")
  add_custom_target(windows_msi DEPENDS ${ZOPP_WINDOWS_MSI})
else()
  add_custom_target(windows_msi COMMAND ${CMAKE_COMMAND} -E echo "wixl is missing (Debian package wixl)"
                    COMMAND ${CMAKE_COMMAND} -E false)
endif()
