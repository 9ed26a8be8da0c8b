# Installation where an X screen-saver daemon looks for its savers. The program keeps
# its image database and its icon beside it (it finds both beside its real path), and
# a link puts it on the path for the desktop entry of its settings.
#
#   libexec/xscreensaver/glimsel, Glimsel.idb, glimsel.svg
#   share/xscreensaver/config/glimsel.xml    the daemon's settings dialog for it
#   bin/glimsel -> ../libexec/xscreensaver/glimsel
#   bin/glimsel-idb
#   share/applications/glimsel.desktop, share/icons/hicolor/scalable/apps/glimsel.svg
#   share/man/man6/glimsel.6.gz, share/man/man1/glimsel-idb.1.gz
include(GNUInstallDirs)
set(GLIMSEL_PROGRAM_DIR ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver CACHE STRING
  "Where the screen-saver daemon finds its savers (relative to the prefix)")
set(GLIMSEL_HOST_CONFIG_DIR ${CMAKE_INSTALL_DATADIR}/xscreensaver/config CACHE STRING
  "Where the daemon's settings program finds the savers' settings descriptions")
set(resources ${CMAKE_SOURCE_DIR}/resources)

install(TARGETS glimsel RUNTIME DESTINATION ${GLIMSEL_PROGRAM_DIR})
install(FILES ${resources}/glimsel.svg DESTINATION ${GLIMSEL_PROGRAM_DIR})
install(FILES ${CMAKE_BINARY_DIR}/Glimsel.idb DESTINATION ${GLIMSEL_PROGRAM_DIR})
install(FILES ${resources}/xscreensaver/glimsel.xml DESTINATION ${GLIMSEL_HOST_CONFIG_DIR})
install(TARGETS glimsel-idb RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
file(RELATIVE_PATH link_target /${CMAKE_INSTALL_BINDIR} /${GLIMSEL_PROGRAM_DIR}/glimsel)
install(CODE "
  set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(MAKE_DIRECTORY \"\${bin}\")
  file(REMOVE \"\${bin}/glimsel\")
  file(CREATE_LINK ${link_target} \"\${bin}/glimsel\" SYMBOLIC)
  message(STATUS \"Installing: \${bin}/glimsel -> ${link_target}\")
")
install(FILES ${resources}/glimsel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${resources}/glimsel.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The manual pages, compressed as Debian keeps them.
find_program(GZIP gzip REQUIRED)
foreach(page glimsel.6 glimsel-idb.1)
  string(REGEX REPLACE ".*\\." "" section ${page})
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${GZIP} -9nc ${resources}/man/${page} > ${CMAKE_BINARY_DIR}/man/${page}.gz
    DEPENDS ${resources}/man/${page}
    COMMENT "Compressing the manual page ${page}")
  list(APPEND man_pages ${CMAKE_BINARY_DIR}/man/${page}.gz)
  install(FILES ${CMAKE_BINARY_DIR}/man/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_pages})

include(${CMAKE_CURRENT_LIST_DIR}/package.cmake)
