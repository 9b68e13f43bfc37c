# Installing: the programs in bin/, their data in share/tarnwick (the program
# looks there, as ../share/tarnwick from its own folder, when its data is not
# beside it), a desktop entry and an icon in the freedesktop places so that
# Tarnwick appears in the desktop's menu and is offered for .sgf files.
# `make install` installs under PREFIX; `make package` builds a Debian package.
include(GNUInstallDirs)

install(TARGETS tarnwick RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${TARNWICK_OUTPUT_DIR}/tk-board-base-08.bmp ${TARNWICK_OUTPUT_DIR}/tk-board-base-10.bmp
              ${TARNWICK_OUTPUT_DIR}/stone-lg-black.bmp ${TARNWICK_OUTPUT_DIR}/stone-lg-white.bmp
              ${TARNWICK_OUTPUT_DIR}/tk-documentation.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/tarnwick)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tarnwick.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tarnwick.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VENDOR "Tarnwick developers")
set(CPACK_PACKAGE_CONTACT "Tarnwick developers <tarnwick@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Viewer for recorded games of the board game Havannah")
set(CPACK_PACKAGE_DESCRIPTION "Opens game records and move lists, fetches games by number from the game server, steps through them, and saves and copies the games studied.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The libraries the program is linked with, and the fonts it draws with.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libsdl2-2.0-0 (>= 2.26), libsdl2-ttf-2.0-0, libfontconfig1, libx11-6, libxfixes3, libcurl4, libsqlite3-0, libstdc++6, libc6, fonts-liberation")
include(CPack)
