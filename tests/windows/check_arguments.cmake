# The desktop program's command line: help and version need no display; a time its field
# could not hold is refused before any window opens (exit 2).
function(kvsorv expected out err)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                          ${ARGN}
                  OUTPUT_VARIABLE o ERROR_VARIABLE e RESULT_VARIABLE rc TIMEOUT 60)
  if(NOT rc EQUAL expected)
    message(FATAL_ERROR "${ARGN}: exit ${rc}, expected ${expected}\n${e}")
  endif()
  set(${out} "${o}" PARENT_SCOPE)
  set(${err} "${e}" PARENT_SCOPE)
endfunction()

kvsorv(0 out err ${PROGRAM} --version)
string(FIND "${out}" "${VERSION}\n" pos)
if(pos EQUAL -1)
  message(FATAL_ERROR "--version printed: ${out}")
endif()
kvsorv(0 out err ${PROGRAM} --help)
foreach(case "--start;-5" "--stop;1e3" "--step;0.0001")
  list(GET case 0 option)
  list(GET case 1 value)
  kvsorv(2 out err QT_QPA_PLATFORM=offscreen ${PROGRAM} ${option} ${value})
  string(FIND "${err}" "${option}: '${value}'" pos)
  if(pos EQUAL -1)
    message(FATAL_ERROR "${option} ${value}: the message does not name them:\n${err}")
  endif()
endforeach()
