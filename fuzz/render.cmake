# The BMP reader and the DIB renderer under libFuzzer. `ninja fuzz_bmp_corpus` gathers the
# seed pictures; then: fuzz_bmp -max_total_time=300 bmp-corpus
glimsel_fuzz_target(bmp glimsel_imaging)

file(GLOB bmp_seeds ${CMAKE_SOURCE_DIR}/tests/imaging/data/*.bmp)
foreach(folder g q b x extra)
  file(GLOB more ${CMAKE_SOURCE_DIR}/../shared/corpus/bmp/${folder}/*.bmp)
  list(APPEND bmp_seeds ${more})
endforeach()
add_custom_target(fuzz_bmp_corpus
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/bmp-corpus
  COMMAND ${CMAKE_COMMAND} -E copy ${bmp_seeds} ${CMAKE_CURRENT_BINARY_DIR}/bmp-corpus
  COMMENT "Gathering the BMP seed pictures")
