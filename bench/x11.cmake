# The Linux program: processor use between ticks and during flashes, what drawing on the
# screen adds to decoding, and memory over a long run. `ninja bench_x11` runs them all.
find_package(JPEG REQUIRED)
add_executable(bench_x11_draw
  ${CMAKE_CURRENT_SOURCE_DIR}/bench_x11_draw.cpp
  ${CMAKE_SOURCE_DIR}/tests/imaging/JpegSamples.cpp)
target_link_libraries(bench_x11_draw PRIVATE glimsel_show glimsel_x11 glimsel_headless JPEG::JPEG)

add_executable(bench_long_run
  ${CMAKE_CURRENT_SOURCE_DIR}/bench_long_run.cpp
  ${CMAKE_SOURCE_DIR}/tests/imaging/JpegSamples.cpp)
target_link_libraries(bench_long_run PRIVATE glimsel_show glimsel_sources glimsel_headless JPEG::JPEG)

# How long a tick keeps input waiting (headless).
add_executable(bench_preview
  ${CMAKE_CURRENT_SOURCE_DIR}/bench_preview.cpp
  ${CMAKE_SOURCE_DIR}/tests/imaging/JpegSamples.cpp)
target_link_libraries(bench_preview PRIVATE glimsel_show glimsel_sources glimsel_headless JPEG::JPEG)

add_custom_target(bench_x11
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/bench_x11.py
    --glimsel $<TARGET_FILE:glimsel> --draw $<TARGET_FILE:bench_x11_draw>
    --long-run $<TARGET_FILE:bench_long_run>
  DEPENDS glimsel bench_x11_draw bench_long_run
  USES_TERMINAL)

# Key presses in the real settings sheet while its preview draws 24-megapixel photos.
add_custom_target(bench_sheet_keys
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/bench_sheet_keys.py --glimsel $<TARGET_FILE:glimsel>
  DEPENDS glimsel
  USES_TERMINAL)
