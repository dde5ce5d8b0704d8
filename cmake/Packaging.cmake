# `cpack -G DEB` in a build folder makes the package `quandel` for Debian.
set(CPACK_PACKAGE_NAME quandel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quandel")
set(CPACK_PACKAGE_CONTACT "Quandel <quandel@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://quandel.example.org/")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "DTAUS-Dateien anzeigen, drucken und prüfen / view, print and check DTAUS files")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Libraries opened at their first call are not seen by the dependency scan (src/cli).
get_property(opened GLOBAL PROPERTY QUANDEL_OPENED_PACKAGES)
list(JOIN opened ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# The summary above is the first line; CPack indents these lines and marks the blank one.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quandel zeigt DTAUS-Dateien (Datenträgeraustausch: A-Satz, C-Sätze, E-Satz)
als Datenträger-Kontrolliste an, druckt sie und prüft Summen, Prüfsummen und
Konten. quandel-cli schreibt dieselbe Liste, exportiert JSON und CSV und
prüft ganze Archive. Quandel liest die Dateien nur.

Quandel shows DTAUS exchange files (German credit transfers and direct
debits) as a data-carrier control list, prints it and checks totals, check
sums and accounts. quandel-cli writes the same list, exports JSON and CSV and
checks whole archives. Quandel only reads the files.")

include(CPack)
