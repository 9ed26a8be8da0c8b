glimsel_test(imaging_bmp_tests
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/BmpReaderTest.cpp ${CMAKE_CURRENT_SOURCE_DIR}/ByteReaderTest.cpp
  LIBS glimsel_imaging)
