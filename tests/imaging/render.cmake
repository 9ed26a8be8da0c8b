# The DIB renderer, and the picture tool that draws through it.
glimsel_test(imaging_render_tests
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/DibRendererTest.cpp
  LIBS glimsel_imaging)

if(TARGET glimsel-idb AND NOT CMAKE_CROSSCOMPILING)
  add_test(NAME imaging_render_tool
    COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:glimsel-idb>
            -DINPUT=${CMAKE_CURRENT_SOURCE_DIR}/data/tiny24.bmp
            -DOUTDIR=${CMAKE_CURRENT_BINARY_DIR}/render-tool
            -P ${CMAKE_SOURCE_DIR}/tests/tools/RenderToolCheck.cmake)
  # The BMP corpus drawn through the tool and compared with its references; skipped
  # (passes) where the corpus folder is absent.
  foreach(kind bmp-g bmp-bad)
    add_test(NAME imaging_render_corpus_${kind}
      COMMAND bash ${CMAKE_SOURCE_DIR}/tests/corpus/render_corpus.sh ${kind} $<TARGET_FILE:glimsel-idb>
              ${CMAKE_CURRENT_BINARY_DIR}/render-corpus-${kind})
    set_tests_properties(imaging_render_corpus_${kind} PROPERTIES
      ENVIRONMENT "GLIMSEL_CORPUS_DIR=${CMAKE_SOURCE_DIR}/../shared/corpus" TIMEOUT 300)
  endforeach()
endif()
