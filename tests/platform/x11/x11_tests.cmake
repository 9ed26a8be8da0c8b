# The program on a virtual X server: one test per case of a script, labelled x11; they
# skip without Xvfb.
function(x11_program_tests prefix script)
  foreach(case ${ARGN})
    add_test(NAME ${prefix}${case}
      COMMAND /usr/bin/python3 ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${script} ${case}
        --glimsel $<TARGET_FILE:glimsel> --host $<TARGET_FILE:x11_host>
        --out ${CMAKE_BINARY_DIR}/x11-screens)
    set_tests_properties(${prefix}${case} PROPERTIES LABELS x11 SKIP_RETURN_CODE 77 TIMEOUT 60)
  endforeach()
endfunction()

x11_program_tests(x11_ x11_tests.py
  test_mode empty_folder expose_paint bundled_pictures
  saver_key saver_mouse saver_focus saver_grab_retry flash_exit preview daemon_window no_display)
# A window uncovered by another comes back without the other's pixels.
x11_program_tests(x11_backing_ x11_backing_tests.py uncovered_without_leftovers)
