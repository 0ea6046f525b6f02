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
# --save is the answer to the overwrite question: nothing is asked, the file is named.
expect_not_contains("${err}" "Overwrite")
expect_contains("${err}" "Parameters saved to saved.par\n")
# ... but not with the water coefficient of a program that has made no run yet.
cli(3 out err steady-state --params cell1.par --drivers cell1.drr)
expect_contains("${out}" "status\tnot steady\n")
# A symbol that is no entry field of the window is an argument error.
cli(1 out err steady-state --params cell1.par --drivers cell1.drr --set Cs=5)
expect_contains("${err}" "'Cs' is not an entry field")
# A failed solve is reported and the command goes on. When the last solve failed, the status
# is not steady whatever the set left in the window looks like, nothing is saved, and the exit
# is 1.
file(COPY_FILE ${WORK}/cell1.par ${WORK}/p.par)
file(SHA256 ${WORK}/p.par before)
cli(1 out err steady-state --params cell1.par --drivers cell1.drr --water-coefficient 10
    --set Ps=1 --save p.par)
expect_contains("${err}" "Steady state calculation failed. ")
expect_contains("${err}" "not saved: the last solve failed\n")
expect_contains("${out}" "status\tnot steady\n")
file(SHA256 ${WORK}/p.par after)
if(NOT before STREQUAL after)
  message(FATAL_ERROR "a failed solve changed p.par")
endif()
# Only the last solve counts: a failed entry followed by a good one is steady and saved.
cli(0 out err steady-state --params cell1.par --drivers cell1.drr --water-coefficient 10
    --set Ps=1 --set=Ps=1200 --save p.par)
expect_contains("${out}" "status\tsteady\n")
expect_contains("${err}" "Parameters saved to p.par\n")
