# Installation (GNUInstallDirs) and the Debian package made by CPack:
#   cmake --build --preset default --target package   ->  kovo_<version>_amd64.deb
include(GNUInstallDirs)

set(KOVO_MAINTAINER "Velkarn <kovo@velkarn.com>")
set(KOVO_PACKAGING_DIR ${CMAKE_BINARY_DIR}/packaging)

# The copyright file carries the licence text, which Debian does not ship for the AGPL.
file(READ ${CMAKE_SOURCE_DIR}/LICENSE license)
string(REGEX REPLACE "\n[ \t]*\n" "\n.\n" license "${license}")
string(REGEX REPLACE "\n([^\n])" "\n \\1" license "\n${license}")
string(REGEX REPLACE "^\n" "" license "${license}")
string(REGEX REPLACE "\n+$" "" KOVO_LICENSE_TEXT "${license}")
set(KOVO_VERSION ${PROJECT_VERSION})
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright.in ${KOVO_PACKAGING_DIR}/copyright @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${KOVO_PACKAGING_DIR}/changelog @ONLY)

# Man pages and the changelog are installed compressed, as Debian expects.
set(KOVO_MAN_PAGES kovo kovo-report kovo-djia)
# The package is native (no Debian revision), so its changelog is plain changelog.gz.
set(compressed ${KOVO_PACKAGING_DIR}/changelog.gz)
add_custom_command(OUTPUT ${KOVO_PACKAGING_DIR}/changelog.gz
  COMMAND gzip -9nkf ${KOVO_PACKAGING_DIR}/changelog
  DEPENDS ${KOVO_PACKAGING_DIR}/changelog VERBATIM)
# The pages name the package's paths; a build installed under another prefix finds its
# files in <prefix>/share/kovo all the same.
set(KOVO_DATA_DIR_INSTALLED /usr/${CMAKE_INSTALL_DATADIR}/kovo)
foreach(page IN LISTS KOVO_MAN_PAGES)
  file(READ ${CMAKE_SOURCE_DIR}/data/man/${page}.1 text)
  string(REPLACE "@KOVO_VERSION@" "${PROJECT_VERSION}" text "${text}")
  string(REPLACE "@KOVO_DATA_DIR@" "${KOVO_DATA_DIR_INSTALLED}" text "${text}")
  file(WRITE ${KOVO_PACKAGING_DIR}/${page}.1 "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/man/${page}.1)
  add_custom_command(OUTPUT ${KOVO_PACKAGING_DIR}/${page}.1.gz
    COMMAND gzip -9nkf ${KOVO_PACKAGING_DIR}/${page}.1
    DEPENDS ${KOVO_PACKAGING_DIR}/${page}.1 VERBATIM)
  list(APPEND compressed ${KOVO_PACKAGING_DIR}/${page}.1.gz)
endforeach()
add_custom_target(kovo_compressed_docs ALL DEPENDS ${compressed})

install(TARGETS kovo kovo-report kovo-djia RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${KOVO_DATA_DIR}/pluto.slx ${KOVO_DATA_DIR}/hpluto.2199.slx ${KOVO_DATA_DIR}/KOVO_help.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/kovo)
set(desktop ${CMAKE_SOURCE_DIR}/data/desktop)
install(FILES ${desktop}/com.velkarn.KOVO.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${desktop}/com.velkarn.KOVO.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${desktop}/com.velkarn.KOVO.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(page IN LISTS KOVO_MAN_PAGES)
  install(FILES ${KOVO_PACKAGING_DIR}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES ${KOVO_PACKAGING_DIR}/copyright ${KOVO_PACKAGING_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kovo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kovo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${KOVO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "planetary aspect transits and a market-timing simulation")
set(CPACK_PACKAGE_DESCRIPTION "KOVO is a desktop program for traders who time the market by planetary
aspects. For a stretch of days it finds when two bodies stand in one of seven
aspects within three nested orbs, and reports the dates each orb is entered
and left, the closest approach with the local time it becomes exact, and
retrograde marks. It also simulates investing in the Dow Jones Industrial
Average while an aspect lasts.

The package holds the program, the command-line tools kovo-report and
kovo-djia, and Pluto's position files.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The ephemeris library's data files: the program computes from them, never without.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "swe-basic-data, swe-standard-data")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR OFF)
include(CPack)
