# A Debian package of what `cmake --install` installs:
#   cpack --config <build>/CPackConfig.cmake -G DEB
# It installs under CMAKE_INSTALL_PREFIX, the prefix the program was built
# for (its sound directory and login entry name installed paths); configure
# with -DCMAKE_INSTALL_PREFIX=/usr for a package as Debian lays them out.

set(CPACK_PACKAGE_NAME pricewarden)
set(CPACK_PACKAGE_VENDOR "Pricewarden")
set(CPACK_PACKAGE_CONTACT "Pricewarden <support@pricewarden.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://pricewarden.example/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "watches prices and stock of products in online stores")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Pricewarden watches products in six stores of one online retailer and\n"
    "reacts when a product comes into stock or a price falls to or below your\n"
    "line: with an alert window and sound, an e-mail, the product page or a\n"
    "ready cart. It keeps a daily price history with a chart.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The libraries the executable links come from dpkg-shlibdeps; the plugins
# Qt loads at run time are named here: the SQLite driver of the watch list,
# and the multimedia runtime of the alert sound.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6multimedia6")

include(CPack)
