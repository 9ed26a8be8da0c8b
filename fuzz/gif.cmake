# The GIF decoder under libFuzzer. `ninja fuzz_gif_corpus` writes the seed pictures;
# then: fuzz_gif -max_total_time=240 gif-corpus
add_executable(fuzz_gif ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_gif.cpp)
target_link_libraries(fuzz_gif PRIVATE glimsel_imaging)
target_link_options(fuzz_gif PRIVATE -fsanitize=fuzzer)

add_executable(fuzz_gif_seeds ${CMAKE_CURRENT_SOURCE_DIR}/gif_seeds.cpp)
add_custom_target(fuzz_gif_corpus
  COMMAND fuzz_gif_seeds ${CMAKE_CURRENT_BINARY_DIR}/gif-corpus
  DEPENDS fuzz_gif_seeds
  COMMENT "Writing the GIF seed pictures")
