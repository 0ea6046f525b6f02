include(${CMAKE_CURRENT_LIST_DIR}/cli_check_support.cmake)
# Analyses of a plain table of members: the envelope of an output with a failed member left
# out, Morris effects of a linear model, and a table that does not fit the analysis.
file(WRITE ${WORK}/members.csv "# a,y\n1,10\n2,20\n3,nan\n4,40\n5,50\n")
cli(0 out err analyze envelope members.csv --inputs 1 -o envelope.csv)
expect_contains("${err}" "5 members, 1 failed")
file(READ ${WORK}/envelope.csv envelope)
expect_contains("${envelope}" "y,30,")
expect_contains("${envelope}" ",4\n")  # four members in the statistics
file(WRITE ${WORK}/trajectories.csv
  "a,b,y\n0,0,0\n5,0,15\n5,0.5,14\n2,1,4\n2,0.5,5\n7,0.5,20\n")
cli(0 out err analyze morris trajectories.csv --inputs 2 -o morris.csv)
file(READ ${WORK}/morris.csv morris)
expect_contains("${morris}" "y,a,21,21,0,2\n")  # 3 per unit of a, whose range is 7
expect_contains("${morris}" "y,b,-2,2,0,2\n")
cli(1 out err analyze sobol members.csv --inputs 1 -o sobol.csv)
expect_contains("${err}" "base points")
cli(1 out err analyze envelope members.csv --inputs 2 -o x.csv)
expect_contains("${err}" "--inputs must be the number of design columns")
