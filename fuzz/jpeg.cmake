# The JPEG adapter under libFuzzer. `ninja fuzz_jpeg_corpus` writes the seed pictures;
# then: fuzz_jpeg -max_total_time=240 jpeg-corpus
find_package(JPEG REQUIRED)
add_executable(fuzz_jpeg ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_jpeg.cpp)
target_link_libraries(fuzz_jpeg PRIVATE glimsel_imaging)
target_link_options(fuzz_jpeg PRIVATE -fsanitize=fuzzer)

add_executable(fuzz_jpeg_seeds
  ${CMAKE_CURRENT_SOURCE_DIR}/jpeg_seeds.cpp
  ${CMAKE_SOURCE_DIR}/tests/imaging/JpegSamples.cpp)
target_link_libraries(fuzz_jpeg_seeds PRIVATE JPEG::JPEG)
add_custom_target(fuzz_jpeg_corpus
  COMMAND fuzz_jpeg_seeds ${CMAKE_CURRENT_BINARY_DIR}/jpeg-corpus
  DEPENDS fuzz_jpeg_seeds
  COMMENT "Writing the JPEG seed pictures")
