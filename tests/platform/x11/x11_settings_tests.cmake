# The settings sheet on a virtual X server.
x11_program_tests(x11_settings_ x11_settings_tests.py
  sheet_ok sheet_cancel sheet_bars sheet_flash_close sheet_switches sheet_scaled sheet_more)
