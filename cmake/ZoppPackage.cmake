# The Debian package, built by CPack from the install rules (cmake/ZoppInstall.cmake): `cpack -G DEB`
# in a Release tree configured with the prefix /usr (scripts/package does both).
set(ZOPP_PACKAGE_MAINTAINER "The ZOPP developers <zopp@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_PACKAGE_NAME zopp)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "dice game with a shared score sheet for one to four players")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Each turn a player throws five dice up to three times, picking up between\n"
  "throws the dice to throw again, and then enters the result into one empty\n"
  "row of the shared scoreboard. Thirteen rounds make a game, one per category.\n"
  "Two rule variants: kept dice may be picked up again, or dice that stay lying\n"
  "through a re-throw are locked. The game runs in a fixed 640x480 window, is\n"
  "played with the left mouse button only and speaks German.")
set(CPACK_PACKAGE_CONTACT ${ZOPP_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
# The desktop entry is written with the final prefix, so the staging folder goes through DESTDIR.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
