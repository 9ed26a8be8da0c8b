# The JPEG adapter against bare libjpeg with the same settings.
find_package(JPEG REQUIRED)
add_executable(bench_jpeg
  ${CMAKE_CURRENT_SOURCE_DIR}/bench_jpeg.cpp
  ${CMAKE_SOURCE_DIR}/tests/imaging/JpegSamples.cpp)
target_link_libraries(bench_jpeg PRIVATE glimsel_imaging JPEG::JPEG)
target_compile_definitions(bench_jpeg PRIVATE GLIMSEL_CORPUS_DIR="${CMAKE_SOURCE_DIR}/../shared/corpus")
