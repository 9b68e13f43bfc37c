# Installing: the programs in bin/, their data in share/tarnwick (the program
# looks there, as ../share/tarnwick from its own folder, when its data is not
# beside it), a desktop entry and an icon in the freedesktop places so that
# Tarnwick appears in the desktop's menu and is offered for .sgf files, the
# software-centre metadata, the manual pages, and the copyright file and
# changelog the Debian package needs.
# `make install` installs under PREFIX; `make package` builds a Debian package.
include(GNUInstallDirs)

install(TARGETS tarnwick tarnwick-gtp RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${TARNWICK_OUTPUT_DIR}/tk-board-base-08.bmp ${TARNWICK_OUTPUT_DIR}/tk-board-base-10.bmp
              ${TARNWICK_OUTPUT_DIR}/tk-board-base-08-high-contrast.bmp ${TARNWICK_OUTPUT_DIR}/tk-board-base-10-high-contrast.bmp
              ${TARNWICK_OUTPUT_DIR}/tk-board-base-08-dark.bmp ${TARNWICK_OUTPUT_DIR}/tk-board-base-10-dark.bmp
              ${TARNWICK_OUTPUT_DIR}/stone-lg-black.bmp ${TARNWICK_OUTPUT_DIR}/stone-lg-white.bmp
              ${TARNWICK_OUTPUT_DIR}/tk-documentation.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/tarnwick)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tarnwick.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tarnwick.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/net.tarnwick.Tarnwick.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual pages and the Debian changelog, compressed as Debian wants them:
# gzip -9 without a name or time stamp, so that the files are reproducible.
set(TARNWICK_PACKAGING_DIR ${CMAKE_BINARY_DIR}/packaging)
set(TARNWICK_GZIPPED)
foreach(source man/tarnwick.1 man/tarnwick-gtp.1 changelog)
  get_filename_component(name ${source} NAME)
  set(output ${TARNWICK_PACKAGING_DIR}/${name}.gz)
  if(name STREQUAL "changelog")
    set(output ${TARNWICK_PACKAGING_DIR}/changelog.Debian.gz)
  endif()
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TARNWICK_PACKAGING_DIR}
    COMMAND sh -c "gzip -9n -c '${CMAKE_CURRENT_LIST_DIR}/${source}' > '${output}'"
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/${source} VERBATIM)
  list(APPEND TARNWICK_GZIPPED ${output})
endforeach()
add_custom_target(tarnwick_packaging_files ALL DEPENDS ${TARNWICK_GZIPPED})
install(FILES ${TARNWICK_PACKAGING_DIR}/tarnwick.1.gz ${TARNWICK_PACKAGING_DIR}/tarnwick-gtp.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${TARNWICK_PACKAGING_DIR}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tarnwick)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian/tarnwick DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VENDOR "Tarnwick developers")
set(CPACK_PACKAGE_CONTACT "Tarnwick developers <dev@tarnwick.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Viewer for recorded games of the board game Havannah")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Opens game records and move lists, fetches games by number from the game
server (through a web proxy where one is set), steps through them, adds
variations, analyses positions and reviews whole games with its own engine,
keeps a database of games, and saves and copies the games studied.
tarnwick-gtp is the same engine on the Go Text Protocol.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
# Section misc, not games: Debian keeps games' programs in /usr/games, while
# this one is installed in /usr/bin like any other.
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tarnwick.net/")
# The libraries the programs are linked with come from dpkg-shlibdeps; the
# fonts the window draws with are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
include(CPack)
