# Installation (cmake --install build --prefix P) and the Debian package (cpack -G DEB in the
# build folder).
install(TARGETS quillet quillet-convert RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Installing needs the two programs, not the tests and benchmarks: packaging builds only those.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VENDOR Vormelin)
set(CPACK_PACKAGE_CONTACT "Vormelin <quillet@vormelin.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "multi-document rich-text word processor")
set(CPACK_PACKAGE_DESCRIPTION
  "Quillet keeps any number of documents open in windows inside one frame,\n\
and reads and writes rich text (RTF), plain text and HTML. It comes with\n\
quillet-convert, which converts a document exactly as opening and saving\n\
it in Quillet would.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The package holds programs, not their debugging information.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
# The dependencies are the packages of the shared libraries the programs link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
