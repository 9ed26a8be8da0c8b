# The settings sheet on a virtual X server, one test per case of x11_settings_tests.py.
if(TARGET glimsel_app)
  foreach(case sheet_ok sheet_cancel sheet_bars sheet_flash_close sheet_switches sheet_scaled)
    add_test(NAME x11_settings_${case}
      COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/x11_settings_tests.py ${case}
        --glimsel $<TARGET_FILE:glimsel> --host $<TARGET_FILE:x11_host>
        --out ${CMAKE_BINARY_DIR}/x11-screens)
    set_tests_properties(x11_settings_${case} PROPERTIES LABELS x11 SKIP_RETURN_CODE 77 TIMEOUT 60)
  endforeach()
endif()
