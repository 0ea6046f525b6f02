include(${CMAKE_CURRENT_LIST_DIR}/cli_check_support.cmake)
# Analyses of a plain table of members: the envelope of an output with a failed member left
# out, Morris effects of a linear model, and a table that does not fit the analysis.
file(WRITE ${WORK}/members.csv "# a,y\n1,10\n2,20\n3,nan\n4,40\n5,50\n")
cli(0 out err analyze envelope members.csv --inputs 1 -o envelope.csv)
expect_contains("${err}" "5 members: 4 done, 1 failed")
file(READ ${WORK}/envelope.csv envelope)
expect_contains("${envelope}" "y,,30,")  # a table has no time
# four of five members in the statistics: too few to read, said in the CSV and on stderr
expect_contains("${envelope}" ",4,5,no,only 4 of 5 members (fewer than 30)\n")
expect_contains("${err}" "warning: y: only 4 of 5 members (fewer than 30)")
file(WRITE ${WORK}/trajectories.csv "a,b,y\n0,0,0\n5,0,15\n5,0.5,14\n2,1,4\n2,0.5,5\n7,0.5,20\n"
  "1,0,3\n1,1,1\n6,1,16\n7,1,19\n0,1,-2\n0,0,0\n")
cli(0 out err analyze morris trajectories.csv --inputs 2 -o morris.csv)
file(READ ${WORK}/morris.csv morris)
expect_contains("${morris}"
  "output,time,parameter,mu,mu_star,sigma,effects,trajectories,stable,reason\n")
# 3 per unit of a, whose range is 7; four effects are too few to read mu* by
expect_contains("${morris}" "y,,a,21,21,0,4,4,no,only 4 effects (fewer than 10)\n")
expect_contains("${morris}" "y,,b,-2,2,0,4,4,no,")
expect_contains("${err}" "warning: 2 of 2 Morris mu* are not yet usable")
cli(1 out err analyze sobol members.csv --inputs 1 -o sobol.csv)
expect_contains("${err}" "base points")
cli(1 out err analyze envelope members.csv --inputs 2 -o x.csv)
expect_contains("${err}" "--inputs must be the number of design columns")
cli(1 out err analyze sobol members.csv --inputs 1 --design lhs -o x.csv)
expect_contains("${err}" "holds the design 'lhs'; the sobol analysis needs the design 'sobol'")
# A number in a form other than decimal is a mistake in the table, not a failed member.
file(WRITE ${WORK}/hex.csv "a,y\n1,10\n2,0x50\n")
cli(1 out err analyze envelope hex.csv --inputs 1 -o x.csv)
expect_contains("${err}" "hex.csv, line 3, column 'y': '0x50' is not a decimal number")

# Results files of short ensembles: Sobol indices and the envelope over time, local
# sensitivities of a one-at-a-time design, and what the analyses refuse.
file(WRITE ${WORK}/plan.toml "params = \"cell1.par\"\ndrivers = \"cell1.drr\"\nstart = 1598\n"
  "stop = 1604\nstep = 1\noutput_step = 1\nmembers = 16\nseed = 5\noat_step = 0.02\n"
  "[[parameter]]\nsymbol = \"mf\"\ndistribution = \"uniform\"\nmin = 75\nmax = 85\n"
  "[[parameter]]\nsymbol = \"Q10d\"\ndistribution = \"normal\"\nmean = 2\nsd = 0.2\n"
  "[[output]]\nsymbol = \"Cf\"\nyearly = true\n[[output]]\nsymbol = \"NEP\"\nyearly = true\n")
cli(0 out err sample plan.toml --method sobol -o sobol-design.csv)
cli(0 out err ensemble run plan.toml --design sobol-design.csv --threads 2 -o sobol.nc)
cli(0 out err analyze sobol sobol.nc --resamples 50 -o sobol.csv)
expect_contains("${err}" "64 members: 64 done, 0 failed, 0 missing")
expect_contains("${err}" "16 of 16 base points")
file(READ ${WORK}/sobol.csv sobol)
expect_contains("${sobol}" "output,time,parameter,S1,S1_low,S1_high,ST,ST_low,ST_high,base_points,"
  "design_base_points,stable,reason\n")
# 16 base points leave the intervals of Q10d's indices wider than 0.5
expect_contains("${sobol}" "\nNEP,1604,Q10d,")
expect_contains("${sobol}" ",16,16,no,S1 interval ")
expect_contains("${err}" "warning: NEP, Q10d at 5 of 5 times (1598 1601 1602 1603 1604); at 1598: S1 interval")
file(READ ${WORK}/sobol-convergence.csv convergence)
expect_contains("${convergence}" "output,time,parameter,base_points,S1,ST,first_base_points\n")
expect_contains("${convergence}" "\nCf,1604,mf,4,")  # N/4 of 16 base points
file(READ ${WORK}/sobol-failures.csv failures)
expect_contains("${failures}" "parameter,failed_mean,done_mean,rank_biserial,p_value,failed,done\n")
cli(0 out err analyze envelope sobol.nc --outputs NEP --times 1601,1603 -o envelope.csv)
file(READ ${WORK}/envelope.csv envelope)
expect_contains("${envelope}" "\nNEP,1603,")
expect_contains("${envelope}" ",64,64,yes,\n")
cli(1 out err analyze morris sobol.nc -o x.csv)
expect_contains("${err}" "sobol.nc: holds the design 'sobol'; the morris analysis needs the design 'morris'")
cli(1 out err analyze envelope sobol.nc --outputs Cw -o x.csv)
expect_contains("${err}" "no output 'Cw'; it holds Cf, NEP")
cli(1 out err analyze envelope sobol.nc --times 1700 -o x.csv)
expect_contains("${err}" "no time 1700; it holds")
cli(1 out err analyze envelope none.nc -o x.csv)
expect_contains("${err}" "none.nc: no such results file")

cli(0 out err sample plan.toml --method oat -o oat-design.csv)
cli(0 out err ensemble run plan.toml --design oat-design.csv --threads 2 -o oat.nc)
cli(0 out err analyze local oat.nc -o local.csv)
file(READ ${WORK}/local.csv local)
expect_contains("${local}"
  "output,time,parameter,coefficient,half_step_coefficient,difference,stable,reason\n")
expect_contains("${local}" "\nCf,1604,mf,")
file(READ ${WORK}/local-summary.csv summary)
expect_contains("${summary}" "output,parameter,L1,L2,mean,min,max,times\nCf,mf,")
file(READ ${WORK}/local-collinearity.csv collinearity)
expect_contains("${collinearity}" "parameters,size,collinearity\nmf+Q10d,2,")
