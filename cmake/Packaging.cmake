# A Debian package of the installation: `cpack -G DEB` in a release build (make package).
set(CPACK_PACKAGE_NAME quizmora)
set(CPACK_PACKAGE_VENDOR "KQ")
set(CPACK_PACKAGE_CONTACT "Quizmora maintainers <maintainers@quizmora.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Quiz-show game with picture puzzles for two players")
set(CPACK_PACKAGE_DESCRIPTION
    "A quiz master projects the game to an audience: each puzzle shows a question,
a picture and a hidden answer whose letters uncover one by one; two players
race with buzzers on a serial port. Includes a puzzle editor, demo puzzles and
the command-line tools quizmora-img and quizmora-puzzles.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY quizmora)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Not "games": that section wants its programs in /usr/games, and ours are in bin/.
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quizmora.invalid/")
# The shared libraries are found by dpkg-shlibdeps; what is loaded at run time is named here:
# Qt's X11 and Wayland platform plugins, and the font that stands in for Courier New.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2")
include(CPack)
