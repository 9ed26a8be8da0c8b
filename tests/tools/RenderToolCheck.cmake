# Runs `glimsel-idb render` on a small BMP and checks the PNG it writes, then checks that
# a picture that cannot be read fails with the reader's message.
# Arguments: -DTOOL=... -DINPUT=... -DOUTDIR=...
file(MAKE_DIRECTORY ${OUTDIR})

function(render_and_check scale width height)
  set(out ${OUTDIR}/tiny-${scale}.png)
  file(REMOVE ${out})
  execute_process(COMMAND ${TOOL} render ${INPUT} ${out} --scale ${scale}
                  RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "render at ${scale} % failed (${rc}): ${err}")
  endif()
  # PNG signature, then the IHDR chunk: length 13, "IHDR", width, height.
  file(READ ${out} head LIMIT 24 HEX)
  set(want "89504e470d0a1a0a0000000d49484452${width}${height}")
  if(NOT head STREQUAL want)
    message(FATAL_ERROR "${out} starts with ${head}, expected ${want}")
  endif()
endfunction()

render_and_check(100 00000003 00000002)
render_and_check(200 00000006 00000004)

file(WRITE ${OUTDIR}/short.bmp "BM short")
execute_process(COMMAND ${TOOL} render ${OUTDIR}/short.bmp ${OUTDIR}/short.png
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(rc EQUAL 0 OR NOT err MATCHES "Corrupt file header" OR EXISTS ${OUTDIR}/short.png)
  message(FATAL_ERROR "a 8-byte BMP gave exit ${rc} and '${err}'")
endif()

execute_process(COMMAND ${TOOL} render ${INPUT}.txt ${OUTDIR}/kind.png RESULT_VARIABLE rc)
if(rc EQUAL 0)
  message(FATAL_ERROR "a file without a picture extension was rendered")
endif()
