# The GIF decoder under libFuzzer. `ninja fuzz_gif_corpus` writes the seed pictures;
# then: fuzz_gif -max_total_time=240 gif-corpus
glimsel_fuzz_target(gif glimsel_imaging)

glimsel_fuzz_seeds(gif SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/gif_seeds.cpp)
