# Makes the documentation's pictures from two fresh copies of the demo data in folders of
# different names and checks that all seven come out byte for byte the same: no path of
# the machine may show in a picture.
#   cmake -DMAKE_DEMO=... -DSHOOT=... -DWORK=... -P screenshots_repeat.cmake
file(REMOVE_RECURSE "${WORK}")
foreach(run first second-run)
  execute_process(COMMAND "${MAKE_DEMO}" "${WORK}/data-${run}" RESULT_VARIABLE status
                  OUTPUT_QUIET)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "could not write the demo data")
  endif()
  execute_process(COMMAND "${SHOOT}" "${WORK}/data-${run}" "${WORK}/pictures-${run}"
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "pelgrin-screenshots failed (${status})")
  endif()
endforeach()
file(GLOB pictures RELATIVE "${WORK}/pictures-first" "${WORK}/pictures-first/*")
list(LENGTH pictures count)
if(NOT count EQUAL 7)
  message(FATAL_ERROR "expected 7 pictures, found: ${pictures}")
endif()
foreach(picture ${pictures})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/pictures-first/${picture}"
                          "${WORK}/pictures-second-run/${picture}" RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    message(FATAL_ERROR "${picture} differs between two runs")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
