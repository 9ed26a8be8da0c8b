find_package(PNG REQUIRED)
# The PNG reader, the turning of photos by their orientation tag, and the pauses of
# long decodes.
glimsel_test(imaging_png_tests
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/PngReaderTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/PngSamples.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ExifOrientationTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/DecodePausesTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/JpegSamples.cpp
  LIBS glimsel_imaging JPEG::JPEG PNG::PNG)
