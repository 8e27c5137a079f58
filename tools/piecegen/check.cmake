# Runs the generator into OUT and compares each file with the one in RES.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${PIECEGEN} ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "piecegen failed: ${rc}")
endif()
foreach(name velomass.bmp velomass.ico)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${name} ${RES}/${name}
                  RESULT_VARIABLE differ)
  if(differ)
    file(SIZE ${OUT}/${name} got)
    file(SIZE ${RES}/${name} want)
    message(SEND_ERROR "${name}: generated file (${got} bytes) differs from res/${name} (${want} bytes); "
                       "run piecegen res and commit if the change is meant")
  endif()
endforeach()
