find_package(PNG REQUIRED)
glimsel_test(imaging_gif_tests
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/GifDecoderTest.cpp ${CMAKE_CURRENT_SOURCE_DIR}/GifCorpusTest.cpp
  LIBS glimsel_imaging PNG::PNG)
