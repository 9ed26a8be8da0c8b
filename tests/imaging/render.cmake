# The DIB renderer, and the picture tool that draws through it.
glimsel_test(imaging_render_tests
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/DibRendererTest.cpp
  LIBS glimsel_imaging)
