# Installing: the binary, its menu entry, icon, AppStream metainfo and man page, under
# any prefix (`cmake --install build --strip --prefix /usr/local`), and a Debian package
# of the same files (`make package`).
include(GNUInstallDirs)

# The release date of the metainfo and the man page: the build's date, or the one a
# reproducible build fixes with SOURCE_DATE_EPOCH.
string(TIMESTAMP VYRE_RELEASE_DATE "%Y-%m-%d" UTC)
set(share ${CMAKE_SOURCE_DIR}/share)
configure_file(${share}/org.vyrelight.vyrelight.metainfo.xml.in ${CMAKE_BINARY_DIR}/share/org.vyrelight.vyrelight.metainfo.xml @ONLY)
configure_file(${share}/vyrelight.1.in ${CMAKE_BINARY_DIR}/share/vyrelight.1 @ONLY)

# Stripped by any `cmake --install`, --strip or not: the debugging information is for
# the build tree, and triples the binary's size.
install(CODE "set(CMAKE_INSTALL_DO_STRIP ON)")
install(TARGETS vyrelight RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Found by the program at ../lib/vyrelight from its own folder, whatever the prefix.
install(TARGETS vyre_printer LIBRARY DESTINATION lib/vyrelight)
install(FILES ${share}/vyrelight.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${share}/vyrelight.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_BINARY_DIR}/share/org.vyrelight.vyrelight.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_BINARY_DIR}/share/vyrelight.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package. Its dependencies are computed by dpkg-shlibdeps from the libraries
# the binary links, never listed by hand.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vyrelight)
set(CPACK_PACKAGE_VENDOR Quorrelind)
set(CPACK_PACKAGE_CONTACT "Quorrelind <vyrelight@vyrelight.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small floating toolbars that start programs and open documents")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://vyrelight.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_PACKAGE_DESCRIPTION "Each toolbar is a frameless window with a drag handle and a row or column of \
icon buttons that start programs, open documents and folders, or show and hide other toolbars. Files \
dropped on a button are handed to it.")
# GIO is loaded when first needed, and SVG icons go through Qt's SVG plugin: neither is
# linked, so dpkg-shlibdeps cannot see them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libglib2.0-0, libqt6svg6")
include(CPack)
