# The settings sheet in real windows under Wine (wine_settings_tests.py), with a probe
# that reports the sheet's windows as Windows sees them.
if(TARGET glimsel)
  add_executable(win32_sheet_probe win32/win32_sheet_probe.cpp)
  wine_window_tests(wine_settings_tests.py 120 sheet_opens sheet_ok speed_bar more_page)
endif()
