# `cpack` (or `make package`) makes a Debian package of what `cmake --install` installs. Its
# dependencies on shared libraries come from dpkg-shlibdeps; the ones the program loads at run
# time rather than links are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dunstrel)
set(CPACK_PACKAGE_VENDOR "The Dunstrel developers")
set(CPACK_PACKAGE_CONTACT "The Dunstrel developers <support@dunstrel.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "disk space analyser with treemaps and duplicate files")
set(CPACK_PACKAGE_DESCRIPTION
    "Dunstrel scans all local drives or one folder and shows where the space went in four views,\n"
    "each a treemap above a tree or list and a colour legend: files in folders, the largest\n"
    "files, folders, and duplicate files of the same name and size.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window-system plugins are loaded, not linked; xdg-open hands files to their programs; Qt's
# own texts (dialog buttons, file dialogs) come from its translations in the language chosen.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, xdg-utils, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-svg-plugins")
include(CPack)
