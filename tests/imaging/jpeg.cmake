find_package(JPEG REQUIRED)
find_package(PNG REQUIRED)
# The test pictures are made with libjpeg's compressor; the corpus references are PNG.
glimsel_test(imaging_jpeg_tests
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/JpegAdapterTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/JpegSamples.cpp
  LIBS glimsel_imaging JPEG::JPEG PNG::PNG)
