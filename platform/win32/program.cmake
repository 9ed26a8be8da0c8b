# Glimsel.scr, the screen saver, beside glimsel-idb.exe and the bundled Glimsel.idb.
if(TARGET glimsel_app)
  add_executable(glimsel WIN32 ${CMAKE_CURRENT_LIST_DIR}/main_win32.cpp ${CMAKE_SOURCE_DIR}/resources/glimsel.rc)
  target_link_libraries(glimsel PRIVATE glimsel_app glimsel_win32 glimsel_registry ole32)
  target_compile_definitions(glimsel PRIVATE
    GLIMSEL_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    GLIMSEL_VERSION_MINOR=${PROJECT_VERSION_MINOR}
    GLIMSEL_VERSION_PATCH=${PROJECT_VERSION_PATCH})
  set_target_properties(glimsel PROPERTIES
    OUTPUT_NAME Glimsel SUFFIX .scr RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endif()
