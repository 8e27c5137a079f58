# The host tree's package: the XScreenSaver module as a Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velomass)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tamsk soft <velomass@tamsk-soft.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tile-clearing puzzle that plays itself, for XScreenSaver")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Veloma Screen Saver fills the screen with a board of pieces, picks a group
 of touching pieces of one kind, lets it shine and vanish, and deals a new
 board when no group is left. This package holds its native XScreenSaver
 module, velomass, with its settings for xscreensaver-settings.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xscreensaver)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
