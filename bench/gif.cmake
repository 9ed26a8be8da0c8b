# The GIF decoder against giflib (DGifSlurp plus compositing) and stb_image.
find_library(GIFLIB_LIBRARY gif REQUIRED)
find_path(STB_INCLUDE_DIR stb/stb_image.h REQUIRED)
add_executable(bench_gif ${CMAKE_CURRENT_SOURCE_DIR}/bench_gif.cpp)
target_include_directories(bench_gif PRIVATE ${STB_INCLUDE_DIR})
target_link_libraries(bench_gif PRIVATE glimsel_imaging ${GIFLIB_LIBRARY})
target_compile_definitions(bench_gif PRIVATE GLIMSEL_CORPUS_DIR="${CMAKE_SOURCE_DIR}/../shared/corpus")
# stb_image is compiled into the benchmark; its own warnings are not ours.
set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/bench_gif.cpp PROPERTIES COMPILE_OPTIONS "-Wno-unused-function")
