# A Debian package of the program: `cpack -G DEB` in the build directory
# makes tarvik_<version>_<arch>.deb with the program, its .desktop entry and
# icon; the libraries it needs become its dependencies (dpkg-shlibdeps).
set(CPACK_PACKAGE_NAME "tarvik")
set(CPACK_PACKAGE_VENDOR "Tarvik")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "maintenance and mileage log of a vehicle")
set(CPACK_PACKAGE_DESCRIPTION
    "Tarvik keeps the maintenance and mileage log of a vehicle: every entry (mileage, date,
operation, cost, notes) is a row of a table, kept in one plain text file that may be
edited by hand and by several windows at once without losing an entry.")
set(CPACK_PACKAGE_CONTACT "Tarvik developers <tarvik@localhost>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window needs a platform plugin to show itself on a desktop, and the
# toolkit's translations for its own texts (button boxes, file dialogs) in
# the desktop's language; Tarvik's own are built into the program.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
# Only what the program needs: no test or benchmark targets are installed.
include(CPack)
