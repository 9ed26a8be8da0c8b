# The array file and the database source under libFuzzer. `ninja fuzz_arrayfile_corpus`
# writes small seed databases; then: fuzz_arrayfile -max_len=4096 -max_total_time=240 arrayfile-corpus
glimsel_fuzz_target(arrayfile glimsel_sources)

# Small databases of small pictures: every draw decodes, so small pictures keep the
# fuzzer fast.
set(arrayfile_corpus ${CMAKE_CURRENT_BINARY_DIR}/arrayfile-corpus)
set(seed_bmp ${CMAKE_SOURCE_DIR}/tests/imaging/data/tiny24.bmp)
set(seed_jpeg ${CMAKE_SOURCE_DIR}/tests/imaging/data/jpeg-table-across-the-wrap.jpg)
set(seed_gif ${CMAKE_SOURCE_DIR}/resources/pictures/checks-2.gif)
add_custom_target(fuzz_arrayfile_corpus
  COMMAND ${CMAKE_COMMAND} -E make_directory ${arrayfile_corpus}
  COMMAND glimsel-idb create ${arrayfile_corpus}/all.idb ${seed_bmp} ${seed_jpeg} ${seed_gif}
  COMMAND glimsel-idb create ${arrayfile_corpus}/bmp.idb ${seed_bmp} ${seed_bmp}
  COMMAND glimsel-idb create ${arrayfile_corpus}/jpeg.idb ${seed_jpeg}
  COMMAND glimsel-idb create ${arrayfile_corpus}/empty.idb
  DEPENDS glimsel-idb
  COMMENT "Writing the array file seed databases")
