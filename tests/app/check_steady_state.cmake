include(${CMAKE_CURRENT_LIST_DIR}/cli_check_support.cmake)
# The calibrated site is steady with the water coefficient of a run ...
cli(0 out err steady-state --params cell1.par --drivers cell1.drr --water-coefficient 10
    --solves 1 --save saved.par)
expect_contains("${out}" "status\tsteady\n")
expect_contains("${out}" "state\tCf\t200\n")
expect_contains("${out}" "param\tmf\t80\n")
if(NOT EXISTS ${WORK}/saved.par)
  message(FATAL_ERROR "--save wrote nothing")
endif()
# ... but not with the water coefficient of a program that has made no run yet.
cli(3 out err steady-state --params cell1.par --drivers cell1.drr)
expect_contains("${out}" "status\tnot steady\n")
# A symbol that is no entry field of the window is an argument error.
cli(1 out err steady-state --params cell1.par --drivers cell1.drr --set Cs=5)
expect_contains("${err}" "'Cs' is not an entry field")
# A failed solve is reported and the command goes on; exit 1 when the last solve failed.
cli(1 out err steady-state --params cell1.par --drivers cell1.drr --water-coefficient 10
    --set Ps=1)
expect_contains("${err}" "Steady state calculation failed. ")
