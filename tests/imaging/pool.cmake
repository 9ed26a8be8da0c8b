find_package(JPEG REQUIRED)
# The pixel block pool, through the decoders that use it.
glimsel_test(imaging_pool_tests
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/PixelBlockPoolTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/JpegSamples.cpp
  LIBS glimsel_imaging JPEG::JPEG)
