# The cost of hostile pictures before they are refused, and of large ordinary ones.
find_package(JPEG REQUIRED)
add_executable(bench_bombs
  ${CMAKE_CURRENT_SOURCE_DIR}/bench_bombs.cpp
  ${CMAKE_SOURCE_DIR}/tests/imaging/JpegSamples.cpp)
target_link_libraries(bench_bombs PRIVATE glimsel_imaging JPEG::JPEG)
