# The Debian package: everything the install rules put under the prefix,
# installed under /usr. Built with: cpack -G DEB (scripts/package.sh).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The QEL team")
set(CPACK_PACKAGE_CONTACT "The QEL team <qel-team@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for object-definition files of custom-graphics packages")
# One text: CMake would join several with semicolons.
set(CPACK_PACKAGE_DESCRIPTION "QEL edits object-definition files: 8-bit .ini text files that describe a
custom-graphics package (the files to pack, pictures cut into animation
tiles, and objects placed on the map or on the player's screen).
qeltool reads, checks and rewrites them in scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://example.org/qel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What Qt loads at run time, which the library check cannot see: the
# platform plugins (xcb comes with libqt6gui6, which the check finds, the
# others with qt6-qpa-plugins; the GIF and JPEG readers come with libqt6gui6
# too), and for the sound preview libqt6multimedia6, whose QSoundEffect
# decodes WAV itself and plays it through the sound server's client library.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6multimedia6, libpulse0")

include(CPack)
