# Installation and the Debian package.
#   <prefix>/lib/korvelin/   Korvelin, libtnwconv.so, libtnwsheet.so (RPATH $ORIGIN), help/
#   <prefix>/bin/Korvelin    a symbolic link to the program (its folder resolves to the real one)
#   <prefix>/share/applications/korvelin.desktop, the icon in hicolor/scalable/apps
include(GNUInstallDirs)
set(KORVELIN_LIB_DIR lib/korvelin)

install(TARGETS Korvelin tnwconv tnwsheet
  RUNTIME DESTINATION ${KORVELIN_LIB_DIR}
  LIBRARY DESTINATION ${KORVELIN_LIB_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/help/ DESTINATION ${KORVELIN_LIB_DIR}/help)

file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/install-link)
file(CREATE_LINK ../${KORVELIN_LIB_DIR}/Korvelin ${CMAKE_CURRENT_BINARY_DIR}/install-link/Korvelin
  SYMBOLIC)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/install-link/Korvelin DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/resources/korvelin.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/resources/korvelin.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvelin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Korvelin")
set(CPACK_PACKAGE_CONTACT "Korvelin maintainers <korvelin@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "JPEG and TIFF to PDF converter for scanned documents")
set(CPACK_PACKAGE_DESCRIPTION
  "Korvelin puts scanned JPEG and TIFF images into PDF files, folder by folder, from a main\n window or from the command line, with a conversion log.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The two libraries ship in the package itself.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
# Loaded at run time, so not found by the library scan: the X11 platform plugin, the SVG icon
# engine for the tool bar, the desktop opener for help and logs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n")
include(CPack)
