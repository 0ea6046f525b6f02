include(${CMAKE_CURRENT_LIST_DIR}/cli_check_support.cmake)
# A run over the recording years: output lines from 1601, the next cell's drivers from 1600.
cli(0 out err run --params cell1.par --drivers cell1.drr --output cell1.out --start 1595
    --stop 1610)
foreach(f cell1.out cell2.drr dummyfile)
  if(NOT EXISTS ${WORK}/${f})
    message(FATAL_ERROR "run did not write ${f}")
  endif()
endforeach()
file(STRINGS ${WORK}/cell1.out lines)
list(LENGTH lines n)
if(NOT n EQUAL 13)  # two header lines, the start line, 1601 .. 1610
  message(FATAL_ERROR "cell1.out has ${n} lines")
endif()
# An output step that breaks the rules is repaired with the information on stderr.
cli(0 out err run --params cell1.par --drivers cell1.drr --output o.out --output-step 0.5)
expect_contains("${err}" "Output time step is less than simulation time step. Output time step increased to time step.")
# A missing driver file: the error box text, then the failure; exit 1.
cli(1 out err run --params cell1.par --drivers cell5.drr --output o.out)
expect_contains("${err}" "Cannot read driver file. File does not exist.")
