# Installs the game where a Linux desktop finds it. The game reads dat/ from its working directory, so
# its pictures go to share/zopp, and bin/zopp is a launcher that starts the binary (kept in
# libexec/zopp) from that folder. The desktop entry runs the launcher and names the folder as well.
# The install folders are taken as relative to the prefix, as GNUInstallDirs sets them by default.
include(GNUInstallDirs)

set(ZOPP_HOME ${CMAKE_INSTALL_DATADIR}/zopp)
set(ZOPP_BINARY_HOME ${CMAKE_INSTALL_LIBEXECDIR}/zopp)

install(TARGETS zopp RUNTIME DESTINATION ${ZOPP_BINARY_HOME})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/dat/ DESTINATION ${ZOPP_HOME}/dat FILES_MATCHING PATTERN "*.bmp")
install(FILES ${PROJECT_SOURCE_DIR}/dat/zopp.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)

# The launcher finds the game relative to itself, so the installed tree can move.
file(RELATIVE_PATH ZOPP_LAUNCHER_TO_HOME /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${ZOPP_HOME})
file(RELATIVE_PATH ZOPP_LAUNCHER_TO_BINARY /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${ZOPP_BINARY_HOME}/zopp)
configure_file(${CMAKE_CURRENT_LIST_DIR}/zopp-launcher.sh.in ${PROJECT_BINARY_DIR}/install/zopp @ONLY)
install(PROGRAMS ${PROJECT_BINARY_DIR}/install/zopp DESTINATION ${CMAKE_INSTALL_BINDIR})

# Desktop entries want absolute paths, and the prefix is known only when installing (--prefix).
install(CODE "
  set(ZOPP_LAUNCHER \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/zopp\")
  set(ZOPP_HOME \"\${CMAKE_INSTALL_PREFIX}/${ZOPP_HOME}\")
  configure_file(\"${CMAKE_CURRENT_LIST_DIR}/zopp.desktop.in\" \"${PROJECT_BINARY_DIR}/install/zopp.desktop\" @ONLY)
  file(INSTALL \"${PROJECT_BINARY_DIR}/install/zopp.desktop\"
       DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
")
