# The settings sheet in GTK 3, with the engine's drawing window as its live preview.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
add_library(glimsel_gtk STATIC
  ${CMAKE_CURRENT_LIST_DIR}/gtk_settings_sheet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gtk_options_page.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gtk_about_page.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gtk_x11.cpp
)
target_link_libraries(glimsel_gtk PUBLIC glimsel_app PRIVATE glimsel_os PkgConfig::GTK3)

# The about page and the window take the program's icon from the program's folder.
configure_file(${CMAKE_SOURCE_DIR}/resources/glimsel.svg ${CMAKE_BINARY_DIR}/glimsel.svg COPYONLY)
