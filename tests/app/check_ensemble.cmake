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
expect_contains("${err}" "(seed 11, the plan's now 12)")
# Resuming from another design of the plan, or after a file the members read has changed, is
# refused naming what differs, and the results stay as they were.
file(STRINGS ${WORK}/design.csv rows)
list(GET rows 2 first)
string(REPLACE "${first}" "80" other "${rows}")
string(REPLACE ";" "\n" other "${other}")
file(WRITE ${WORK}/other.csv "${other}\n")
file(MD5 ${WORK}/a.nc stored)
# name | design | file changed | the message expected
set(mixed
  "another_design|other.csv|-|a.nc: made from another design (its members ran with other parameter values)"
  "parameter_file_changed|design.csv|cell1.par|cell1.par' held other contents than now"
  "base_driver_file_changed|design.csv|cell1b.drr|cell1b.drr' held other contents than now")
foreach(case IN LISTS mixed)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 1 design)
  list(GET fields 2 changed)
  list(GET fields 3 expected)
  if(NOT changed STREQUAL "-")
    file(COPY_FILE ${WORK}/${changed} ${WORK}/${changed}.kept)
    file(APPEND ${WORK}/${changed} "\n")
  endif()
  cli(1 out err ensemble run plan.toml --design ${design} --resume -o a.nc)
  expect_contains("${err}" "${expected}")
  if(NOT changed STREQUAL "-")
    file(RENAME ${WORK}/${changed}.kept ${WORK}/${changed})
  endif()
  file(MD5 ${WORK}/a.nc now)
  if(NOT now STREQUAL stored)
    message(FATAL_ERROR "${case}: a refused resume changed a.nc")
  endif()
endforeach()
# Options that could not mean what they say are refused before anything runs or is written.
cli(1 out err ensemble run plan.toml --design design.csv --rerun-failed -o rerun.nc)
expect_contains("${err}" "--rerun-failed: give --resume too")
cli(1 out err ensemble run plan.toml --design design.csv --shard 9/9 -o nine.nc)
expect_contains("${err}" "--shard: 9 shards of a design of 8 members")
cli(1 out err ensemble launch parallel plan.toml --design design.csv --shards 9 -o nine.nc)
expect_contains("${err}" "--shards: 9 shards of a design of 8 members")
cli(1 out err ensemble launch parallel plan.toml --design design.csv --shards 2 --max-running 1
    -o nine.nc)
expect_contains("${err}" "--max-running applies to the slurm engine only")
# A plan that keeps no output would run members that record nothing.
foreach(command "sample;other.toml;-o;nine.csv"
                "ensemble;run;other.toml;--design;design.csv;-o;nine.nc")
  cli(1 out err ${command})
  expect_contains("${err}" "other.toml: output: the plan keeps no output")
endforeach()
if(EXISTS ${WORK}/rerun.nc OR EXISTS ${WORK}/nine.nc OR EXISTS ${WORK}/nine.parallel.sh
   OR EXISTS ${WORK}/nine.csv)
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
# While a run writes its results file, status reads it (as last synced) and a second writer is
# refused, naming why.
file(WRITE ${WORK}/long.toml "params = \"cell1.par\"\ndrivers = \"cell1.drr\"\nstart = 1590\n"
  "stop = 1900\nmembers = 4000\nseed = 11\n[[parameter]]\nsymbol = \"mf\"\n"
  "distribution = \"uniform\"\nmin = 75\nmax = 85\n[[output]]\nsymbol = \"Cw\"\nyearly = true\n")
cli(0 out err sample long.toml -o long.csv)
execute_process(COMMAND sh -c "'${CLI}' ensemble run long.toml --design long.csv --threads 1 \
-o long.nc 2>/dev/null & while [ ! -e long.nc ]; do sleep 0.05; done; \
'${CLI}' ensemble status long.nc; echo \"status $?\"; \
'${CLI}' ensemble run long.toml --design long.csv --resume -o long.nc; echo \"second $?\"; \
kill $!; wait" WORKING_DIRECTORY ${WORK} OUTPUT_VARIABLE o ERROR_VARIABLE e)
expect_contains("${o}" "members\t4000\n")
expect_contains("${o}" "status 3\n")
expect_contains("${o}" "second 1\n")
expect_contains("${e}" "long.nc: cannot be opened to write: another run is writing it")
# The results named as a directory are refused; named by a link to a file not made yet, they go
# where the link points and the link stays.
file(MAKE_DIRECTORY ${WORK}/results.dir)
cli(1 out err ensemble run plan.toml --design design.csv -o results.dir)
expect_contains("${err}" "-o: 'results.dir' is a directory; name the results file")
file(CREATE_LINK linked-target.nc ${WORK}/linked.nc SYMBOLIC)
cli(0 out err ensemble run plan.toml --design design.csv -o linked.nc)
if(NOT IS_SYMLINK ${WORK}/linked.nc OR NOT EXISTS ${WORK}/linked-target.nc)
  message(FATAL_ERROR "the link to the results was replaced")
endif()
