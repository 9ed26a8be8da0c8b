# A Debian package of the installation (cpack -G DEB, or scripts/package.sh). It
# installs under /usr, where the screen-saver daemon looks.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME glimsel)
set(CPACK_PACKAGE_VENDOR Norvane)
set(CPACK_PACKAGE_CONTACT "Glimsel maintainers <glimsel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "picture collage screen saver")
set(CPACK_PACKAGE_DESCRIPTION
  "Glimsel draws one picture after another at random places over the earlier ones,\n\
so that the screen fills with an ever-changing collage. The pictures come from a\n\
folder or from the bundled image database. It runs as a saver of the X screen-saver\n\
daemon, with a settings sheet of its own and glimsel-idb, its image database tool.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)
set(CPACK_STRIP_FILES ON)
include(CPack)
