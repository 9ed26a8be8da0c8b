# Cases of a window test script under Wine: ctest entries wine_CASE, run one at a time.
function(wine_window_tests script timeout)
  foreach(case ${ARGN})
    add_test(NAME wine_${case}
      COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/win32/${script} ${case}
        --build ${CMAKE_BINARY_DIR} --out ${CMAKE_BINARY_DIR}/wine-screens)
    set_tests_properties(wine_${case} PROPERTIES LABELS wine RUN_SERIAL ON SKIP_RETURN_CODE 77 TIMEOUT ${timeout})
  endforeach()
endfunction()

# The Windows layer's own rules, run under Wine like every other test program.
glimsel_test(platform_win32_tests SOURCES win32/RegistrySettingsStoreTest.cpp LIBS glimsel_registry)

# Programs that the window tests (wine_window_tests.py) start beside Glimsel.scr: a host
# of another process that lends a pane and lists its children, and one that runs the
# preview in a pane of its own process.
add_executable(win32_host win32/win32_host.cpp)
if(TARGET glimsel)
  add_executable(win32_preview_host win32/win32_preview_host.cpp)
  target_link_libraries(win32_preview_host PRIVATE glimsel_app glimsel_win32 glimsel_win32_desktop glimsel_registry)

  # The window tests need a display and a Wine prefix; the test command runs them with
  # both (scripts/test-windows.sh), one at a time.
  wine_window_tests(wine_window_tests.py 90
    saver_key flash_click test_mode preview_foreign preview_drawing first_run unknown_switches)
endif()
