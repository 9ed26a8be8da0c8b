# The JPEG adapter under libFuzzer. `ninja fuzz_jpeg_corpus` writes the seed pictures;
# then: fuzz_jpeg -max_total_time=240 jpeg-corpus
find_package(JPEG REQUIRED)
glimsel_fuzz_target(jpeg glimsel_imaging)

glimsel_fuzz_seeds(jpeg
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/jpeg_seeds.cpp ${CMAKE_SOURCE_DIR}/tests/imaging/JpegSamples.cpp
  LIBS JPEG::JPEG)
