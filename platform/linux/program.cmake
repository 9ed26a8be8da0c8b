# glimsel, the saver program, beside glimsel-idb and the bundled Glimsel.idb.
include(${CMAKE_CURRENT_LIST_DIR}/gtk_sheet.cmake)
add_executable(glimsel ${CMAKE_CURRENT_LIST_DIR}/main_linux.cpp ${CMAKE_CURRENT_LIST_DIR}/linux_desktop.cpp)
target_link_libraries(glimsel PRIVATE glimsel_app glimsel_x11 glimsel_ini glimsel_gtk PkgConfig::GTK3)
target_compile_definitions(glimsel PRIVATE GLIMSEL_VERSION_TEXT="${PROJECT_VERSION}")
set_target_properties(glimsel PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
include(${CMAKE_CURRENT_LIST_DIR}/install.cmake)
