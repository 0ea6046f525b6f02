include(${CMAKE_CURRENT_LIST_DIR}/cli_check_support.cmake)
# An ensemble from plan to results: sample, run in two shards, merge, count; a resumed run
# does nothing more, and a results file of another plan is refused.
file(WRITE ${WORK}/plan.toml "params = \"cell1.par\"\ndrivers = \"cell1.drr\"\nstart = 1590\n"
  "stop = 1620\nmembers = 8\nseed = 11\n[[parameter]]\nsymbol = \"mf\"\n"
  "distribution = \"uniform\"\nmin = 75\nmax = 85\n[[output]]\nsymbol = \"Cw\"\nyearly = true\n")
cli(0 out err sample plan.toml --method lhs -o design.csv)
cli(0 out err ensemble run plan.toml --design design.csv --threads 2 --shard 1/2 -o a.nc)
cli(3 out err ensemble status a.nc)
expect_contains("${out}" "missing\t4\n")
# To a pipe, as in a batch job's log: plain progress lines at the pace asked (here after
# every member), never a line rewritten in place.
execute_process(COMMAND ${CMAKE_COMMAND} -E env KVSORV_PROGRESS_SECONDS=0
                        ${CLI} ensemble run plan.toml --design design.csv --threads 1 -o paced.nc
                WORKING_DIRECTORY ${WORK} RESULT_VARIABLE rc ERROR_VARIABLE e)
string(REGEX MATCHALL "[1-8]/8 members, 0 failed, [0-9.]+ members/s, [0-9]+ s left\n" lines "${e}")
list(LENGTH lines count)
if(NOT rc EQUAL 0 OR NOT count EQUAL 8 OR e MATCHES "\r")
  message(FATAL_ERROR "expected a plain line per member (${rc}):\n${e}")
endif()
cli(0 out err ensemble run plan.toml --design design.csv --threads 1 --shard 2/2 -o b.nc)
cli(0 out err ensemble merge a.nc b.nc -o all.nc)
cli(0 out err ensemble status all.nc)
expect_contains("${out}" "missing\t0\n")
cli(1 out err ensemble run plan.toml --design design.csv -o all.nc)
expect_contains("${err}" "exists: add --resume")
cli(0 out err ensemble run plan.toml --design design.csv --resume -o all.nc)
expect_contains("${err}" "0 members done, 0 failed")
file(WRITE ${WORK}/other.toml "params = \"cell1.par\"\ndrivers = \"cell1.drr\"\nstart = 1590\n"
  "stop = 1620\nmembers = 8\nseed = 12\n[[parameter]]\nsymbol = \"mf\"\n"
  "distribution = \"uniform\"\nmin = 75\nmax = 85\n")
cli(1 out err ensemble run other.toml --design design.csv --resume -o all.nc)
expect_contains("${err}" "all.nc: made from another plan")
# Options that could not mean what they say are refused before anything runs or is written.
cli(1 out err ensemble run plan.toml --design design.csv --rerun-failed -o rerun.nc)
expect_contains("${err}" "--rerun-failed: give --resume too")
cli(1 out err ensemble run plan.toml --design design.csv --shard 9/9 -o nine.nc)
expect_contains("${err}" "--shard: 9 shards of a design of 8 members")
cli(1 out err ensemble launch parallel plan.toml --design design.csv --shards 9 -o nine.nc)
expect_contains("${err}" "--shards: 9 shards of a design of 8 members")
if(EXISTS ${WORK}/rerun.nc OR EXISTS ${WORK}/nine.nc OR EXISTS ${WORK}/nine.parallel.sh)
  message(FATAL_ERROR "a refused command wrote a file")
endif()
# A plan whose driver file is missing is refused before any member runs.
file(WRITE ${WORK}/nodrivers.toml "params = \"cell1.par\"\ndrivers = \"cell9.drr\"\n"
  "members = 8\nseed = 11\n[[parameter]]\nsymbol = \"mf\"\n"
  "distribution = \"uniform\"\nmin = 75\nmax = 85\n")
cli(1 out err ensemble run nodrivers.toml --design design.csv -o nodrivers.nc)
expect_contains("${err}" "nodrivers.toml: drivers: '")
expect_contains("${err}" "cell9.drr' does not exist")
# Through GNU parallel, as on a cluster: three shards, retried when they fail, then merged.
cli(0 out err ensemble launch parallel plan.toml --design design.csv --shards 3 -o par.nc)
execute_process(COMMAND ${WORK}/par.parallel.sh WORKING_DIRECTORY ${WORK} RESULT_VARIABLE rc
                OUTPUT_VARIABLE o ERROR_VARIABLE e)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the GNU parallel script failed (${rc}):\n${e}")
endif()
cli(0 out err ensemble status par.nc)
expect_contains("${out}" "missing\t0\n")
