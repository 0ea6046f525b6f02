include(${CMAKE_CURRENT_LIST_DIR}/cli_check_support.cmake)
# A chain of three cells in memory writes what three successive runs through files write.
cli(0 out err chain --params cell1.par --drivers cell1.drr --cells 3 --output-dir chained
    --start 1590 --stop 1700)
file(MAKE_DIRECTORY ${WORK}/files)
file(COPY ${WORK}/cell1.drr ${WORK}/cell1b.drr DESTINATION ${WORK}/files)
foreach(cell 1 2 3)
  cli(0 out err run --params cell1.par --drivers files/cell${cell}.drr
      --output files/cell${cell}.out --start 1590 --stop 1700)
  file(READ ${WORK}/chained/cell${cell}.out chained HEX)
  file(READ ${WORK}/files/cell${cell}.out separate HEX)
  if(NOT chained STREQUAL separate)
    message(FATAL_ERROR "cell ${cell}: the chain's output differs from the run's")
  endif()
endforeach()
cli(1 out err chain --params cell1.par --drivers cell1.drr --cells 0 --output-dir chained)
expect_contains("${err}" "--cells must be a whole number")
