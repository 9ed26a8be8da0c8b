# Installation: the program keeps its image database and its icon beside it in a folder
# of its own (it finds both beside its real path), and a link puts it on the path.
#
#   bin/glimsel -> ../lib/glimsel/glimsel
#   bin/glimsel-idb
#   lib/glimsel/glimsel, Glimsel.idb, glimsel.svg
#   share/applications/glimsel.desktop
#   share/icons/hicolor/scalable/apps/glimsel.svg
set(GLIMSEL_PROGRAM_DIR lib/glimsel)

install(TARGETS glimsel RUNTIME DESTINATION ${GLIMSEL_PROGRAM_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/glimsel.svg DESTINATION ${GLIMSEL_PROGRAM_DIR})
install(FILES ${CMAKE_BINARY_DIR}/Glimsel.idb DESTINATION ${GLIMSEL_PROGRAM_DIR})
install(TARGETS glimsel-idb RUNTIME DESTINATION bin)
install(CODE "
  set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
  file(MAKE_DIRECTORY \"\${bin}\")
  file(REMOVE \"\${bin}/glimsel\")
  file(CREATE_LINK ../${GLIMSEL_PROGRAM_DIR}/glimsel \"\${bin}/glimsel\" SYMBOLIC)
  message(STATUS \"Installing: \${bin}/glimsel -> ../${GLIMSEL_PROGRAM_DIR}/glimsel\")
")
install(FILES ${CMAKE_SOURCE_DIR}/resources/glimsel.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/glimsel.svg DESTINATION share/icons/hicolor/scalable/apps)
