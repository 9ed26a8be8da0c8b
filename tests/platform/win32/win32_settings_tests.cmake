# The settings sheet in real windows under Wine (wine_settings_tests.py), with a probe
# that reports the sheet's windows as Windows sees them.
if(TARGET glimsel)
  add_executable(win32_sheet_probe win32/win32_sheet_probe.cpp)
  foreach(case sheet_opens sheet_ok speed_bar)
    add_test(NAME wine_${case}
      COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/win32/wine_settings_tests.py ${case}
        --build ${CMAKE_BINARY_DIR} --out ${CMAKE_BINARY_DIR}/wine-screens)
    set_tests_properties(wine_${case} PROPERTIES LABELS wine RUN_SERIAL ON SKIP_RETURN_CODE 77 TIMEOUT 120)
  endforeach()
endif()
