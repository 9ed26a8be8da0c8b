# One test per case of x11_tests.py, labelled x11; they skip without Xvfb. The program
# exists whenever the application shell does (its target is made at the end of the tree).
if(TARGET glimsel_app)
  foreach(case test_mode empty_folder expose_paint bundled_pictures
      saver_key saver_mouse saver_focus saver_grab_retry flash_exit preview daemon_window no_display)
    add_test(NAME x11_${case}
      COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/x11_tests.py ${case}
        --glimsel $<TARGET_FILE:glimsel> --host $<TARGET_FILE:x11_host>
        --out ${CMAKE_BINARY_DIR}/x11-screens)
    set_tests_properties(x11_${case} PROPERTIES LABELS x11 SKIP_RETURN_CODE 77 TIMEOUT 60)
  endforeach()
  add_test(NAME x11_backing_uncovered
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/x11_backing_tests.py uncovered_without_leftovers
      --glimsel $<TARGET_FILE:glimsel> --host $<TARGET_FILE:x11_host> --out ${CMAKE_BINARY_DIR}/x11-screens)
  set_tests_properties(x11_backing_uncovered PROPERTIES LABELS x11 SKIP_RETURN_CODE 77 TIMEOUT 60)
endif()
