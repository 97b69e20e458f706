# What is installed where, for `cmake --install` and the Debian package alike. Paths are relative to the
# prefix and follow Debian's places for games: the launcher in games/ (on the default PATH, also under
# /usr/local), the binary in lib/games/zopp and the pictures in share/games/zopp/dat. The game reads dat/
# from its working directory, so the launcher starts it from there. The desktop entry, icons, AppStream
# metainfo, manual page and copyright go where desktops and Debian's tools look for them.
include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The desktop's name for the game: the file name of its desktop entry and metainfo. A placeholder domain
# until the project has one of its own.
set(ZOPP_APP_ID org.example.zopp)
set(ZOPP_LAUNCHER_HOME games)
set(ZOPP_BINARY_HOME lib/games/zopp)
set(ZOPP_HOME ${CMAKE_INSTALL_DATADIR}/games/zopp)
set(ZOPP_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)
set(ZOPP_STAGE ${PROJECT_BINARY_DIR}/install)

install(TARGETS zopp RUNTIME DESTINATION ${ZOPP_BINARY_HOME})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/dat/ DESTINATION ${ZOPP_HOME}/dat FILES_MATCHING PATTERN "*.bmp")
install(DIRECTORY ${ZOPP_PACKAGING}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

# The launcher finds the game relative to itself, so the installed tree can move (or be unpacked anywhere).
file(RELATIVE_PATH ZOPP_LAUNCHER_TO_HOME /prefix/${ZOPP_LAUNCHER_HOME} /prefix/${ZOPP_HOME})
file(RELATIVE_PATH ZOPP_LAUNCHER_TO_BINARY /prefix/${ZOPP_LAUNCHER_HOME} /prefix/${ZOPP_BINARY_HOME}/zopp)
configure_file(${ZOPP_PACKAGING}/zopp-launcher.sh.in ${ZOPP_STAGE}/zopp @ONLY)
install(PROGRAMS ${ZOPP_STAGE}/zopp DESTINATION ${ZOPP_LAUNCHER_HOME})

# Desktop entries want absolute paths, and the prefix is known only when installing (--prefix).
install(CODE "
  set(ZOPP_LAUNCHER \"\${CMAKE_INSTALL_PREFIX}/${ZOPP_LAUNCHER_HOME}/zopp\")
  set(ZOPP_HOME \"\${CMAKE_INSTALL_PREFIX}/${ZOPP_HOME}\")
  configure_file(\"${ZOPP_PACKAGING}/zopp.desktop.in\" \"${ZOPP_STAGE}/${ZOPP_APP_ID}.desktop\" @ONLY)
  file(INSTALL \"${ZOPP_STAGE}/${ZOPP_APP_ID}.desktop\"
       DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
")
# The version comes from the project, the date of the release (the metainfo's, the manual page's and the
# changelog's newest entry's) from the last commit (cmake/ZoppReproducible.cmake). Older changelog
# entries keep their own.
configure_file(${ZOPP_PACKAGING}/changelog.in ${ZOPP_STAGE}/changelog @ONLY)
configure_file(${ZOPP_PACKAGING}/zopp.metainfo.xml.in ${ZOPP_STAGE}/${ZOPP_APP_ID}.metainfo.xml @ONLY)
install(FILES ${ZOPP_STAGE}/${ZOPP_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual page names the installed files; Debian wants it and the changelog compressed, without a
# time stamp so that rebuilds give the same bytes.
set(ZOPP_FULL_HOME ${CMAKE_INSTALL_PREFIX}/${ZOPP_HOME})
set(ZOPP_FULL_BINARY ${CMAKE_INSTALL_PREFIX}/${ZOPP_BINARY_HOME}/zopp)
set(ZOPP_FULL_DOCDIR ${CMAKE_INSTALL_FULL_DOCDIR})
configure_file(${ZOPP_PACKAGING}/zopp.6.in ${ZOPP_STAGE}/zopp.6 @ONLY)
foreach(file ${ZOPP_STAGE}/zopp.6 ${ZOPP_STAGE}/changelog)
  get_filename_component(name ${file} NAME)
  add_custom_command(OUTPUT ${ZOPP_STAGE}/${name}.gz
    COMMAND gzip -9nc ${file} > ${ZOPP_STAGE}/${name}.gz
    DEPENDS ${file}
    COMMENT "Compressing ${name}")
endforeach()
# Everything the rules here install; a tree built only for installing builds just this target.
add_custom_target(installable ALL DEPENDS ${ZOPP_STAGE}/zopp.6.gz ${ZOPP_STAGE}/changelog.gz)
add_dependencies(installable zopp)
install(FILES ${ZOPP_STAGE}/zopp.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${ZOPP_PACKAGING}/copyright ${ZOPP_STAGE}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
