# Helpers for the command-line checks: run the tool in a fresh work directory holding the
# example site, and assert on exit status and output.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
foreach(f cell1.par cell1.drr cell1b.drr cell1-start.par)
  file(COPY ${EXAMPLES}/${f} DESTINATION ${WORK})
endforeach()

# cli(EXPECTED_STATUS OUT_VAR ERR_VAR args...)
function(cli expected out err)
  execute_process(COMMAND ${CLI} ${ARGN} WORKING_DIRECTORY ${WORK}
                  OUTPUT_VARIABLE o ERROR_VARIABLE e RESULT_VARIABLE rc)
  if(NOT rc EQUAL expected)
    message(FATAL_ERROR "kvsorv-cli ${ARGN}: exit ${rc}, expected ${expected}\n${e}")
  endif()
  set(${out} "${o}" PARENT_SCOPE)
  set(${err} "${e}" PARENT_SCOPE)
endfunction()

function(expect_contains text expected)
  string(FIND "${text}" "${expected}" pos)
  if(pos EQUAL -1)
    message(FATAL_ERROR "expected to find: ${expected}\nin:\n${text}")
  endif()
endfunction()

function(expect_not_contains text unexpected)
  string(FIND "${text}" "${unexpected}" pos)
  if(NOT pos EQUAL -1)
    message(FATAL_ERROR "did not expect: ${unexpected}\nin:\n${text}")
  endif()
endfunction()
