# The PNG reader under libFuzzer. `ninja fuzz_png_corpus` writes the seed pictures;
# then: fuzz_png -max_total_time=240 png-corpus
find_package(PNG REQUIRED)
add_executable(fuzz_png ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_png.cpp)
target_link_libraries(fuzz_png PRIVATE glimsel_imaging)
target_link_options(fuzz_png PRIVATE -fsanitize=fuzzer)

add_executable(fuzz_png_seeds
  ${CMAKE_CURRENT_SOURCE_DIR}/png_seeds.cpp
  ${CMAKE_SOURCE_DIR}/tests/imaging/PngSamples.cpp)
target_link_libraries(fuzz_png_seeds PRIVATE PNG::PNG)
add_custom_target(fuzz_png_corpus
  COMMAND fuzz_png_seeds ${CMAKE_CURRENT_BINARY_DIR}/png-corpus
  DEPENDS fuzz_png_seeds
  COMMENT "Writing the PNG seed pictures")
