# The Windows player's zip, zopp-<version>-windows-x64.zip in the build folder: zopp.exe beside its dat
# folder, a README.txt on how to play (taken from README.md) and the license texts. Built by the target
# windows_zip; scripts/package moves it to dist/.
set(ZOPP_WINDOWS_ZIP ${CMAKE_BINARY_DIR}/zopp-${PROJECT_VERSION}-windows-x64.zip)
file(GLOB _zopp_pictures CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/dat/*.bmp)
add_custom_command(
  OUTPUT ${ZOPP_WINDOWS_ZIP}
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DEXE=$<TARGET_FILE:zopp>
          -DSTAGE=${CMAKE_BINARY_DIR}/windows-zip -DZIP=${ZOPP_WINDOWS_ZIP}
          -P ${PROJECT_SOURCE_DIR}/cmake/windows_zip.cmake
  DEPENDS zopp ${_zopp_pictures} ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/cmake/windows_zip.cmake
  COMMENT "Packing ${ZOPP_WINDOWS_ZIP}")
add_custom_target(windows_zip DEPENDS ${ZOPP_WINDOWS_ZIP})
