# The PNG reader under libFuzzer. `ninja fuzz_png_corpus` writes the seed pictures;
# then: fuzz_png -max_total_time=240 png-corpus
find_package(PNG REQUIRED)
glimsel_fuzz_target(png glimsel_imaging)

glimsel_fuzz_seeds(png
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/png_seeds.cpp ${CMAKE_SOURCE_DIR}/tests/imaging/PngSamples.cpp
  LIBS PNG::PNG)
