# The Debian package velnor: the program folder /opt/velnor, the desktop entry and icons in
# /usr/share, the command /usr/bin/velnor. Built with `cpack -G DEB` in the build folder.

set(CPACK_PACKAGE_NAME velnor)
set(CPACK_PACKAGE_VERSION 1.0.0)
set(CPACK_PACKAGE_VENDOR "Arvenco")
set(CPACK_PACKAGE_CONTACT "Velnor maintainers <velnor@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Saves scanned documents from the storage boxes of an office printer/scanner")
set(CPACK_PACKAGE_DESCRIPTION
    "Velnor lists the storage boxes of an office multi-function printer/scanner (found by a
network search, typed as an address, or attached by USB), previews the scanned documents in
them and saves a document or a page range into a local folder: colour as one PDF or one JPEG a
page, black-and-white as one PDF or one multi-page TIFF, optionally deleting it from the box
afterwards.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY velnor)

set(CPACK_GENERATOR DEB)
# The program folder is the install prefix; the desktop files go to absolute folders, so the
# package is staged through DESTDIR.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /opt/velnor)
set(CPACK_PACKAGING_INSTALL_PREFIX /opt/velnor)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Shared libraries the files link against are found by dpkg-shlibdeps; what is only loaded at run
# time is named here: Qt's platform plugins (windows) and image plugins (the TIFF preview).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-image-formats-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
