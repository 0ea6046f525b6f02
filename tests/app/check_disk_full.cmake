include(${CMAKE_CURRENT_LIST_DIR}/cli_check_support.cmake)
# A disk that fills during a run: the run stops naming the file and the cause, without a
# crash, and the members stored before stay readable. Needs a small file system of its own
# (tmpfs); skipped without one.
file(MAKE_DIRECTORY ${WORK}/small)
execute_process(COMMAND mount -t tmpfs -o size=1M tmpfs ${WORK}/small RESULT_VARIABLE mounted
                OUTPUT_QUIET ERROR_QUIET)
if(NOT mounted EQUAL 0)
  message(STATUS "no tmpfs can be mounted here: skipped")
  return()
endif()
file(WRITE ${WORK}/plan.toml "params = \"cell1.par\"\ndrivers = \"cell1.drr\"\nstart = 1590\n"
  "stop = 1620\nmembers = 300\nseed = 5\n[[parameter]]\nsymbol = \"mf\"\n"
  "distribution = \"uniform\"\nmin = 75\nmax = 85\n"
  "[[output]]\nsymbol = \"Cf\"\nyearly = true\n[[output]]\nsymbol = \"Cw\"\nyearly = true\n"
  "[[output]]\nsymbol = \"NEP\"\nyearly = true\n[[output]]\nsymbol = \"Ch\"\nyearly = true\n")
cli(0 out err sample plan.toml --method lhs -o design.csv)
execute_process(COMMAND ${CMAKE_COMMAND} -E env head -c 900000 /dev/zero
                OUTPUT_FILE ${WORK}/small/filler)
cli(1 out err ensemble run plan.toml --design design.csv --threads 2 -o small/r.nc)
expect_contains("${err}" "small/r.nc: cannot be written: the disk is full")
expect_contains("${err}" "the members stored before are kept (ensemble status counts them)")
expect_not_contains("${err}" "ncFile.cpp")
cli(3 out err ensemble status small/r.nc)
expect_contains("${out}" "members\t300\n")
cli(0 out err analyze envelope small/r.nc -o kept.csv)
# A disk already full: a new results file or a merge is refused for that cause, leaving nothing.
execute_process(COMMAND ${CMAKE_COMMAND} -E env head -c 2000000 /dev/zero
                OUTPUT_FILE ${WORK}/small/filler2 ERROR_QUIET)
foreach(case "ensemble;run;plan.toml;--design;design.csv;-o;small/new.nc"
             "ensemble;merge;small/r.nc;-o;small/merged.nc")
  cli(1 out err ${case})
  expect_contains("${err}" "the disk is full")
  expect_not_contains("${err}" "NetCDF")
endforeach()
file(GLOB left ${WORK}/small/*.making)
if(left)
  message(FATAL_ERROR "left behind: ${left}")
endif()
file(REMOVE ${WORK}/small/filler2)
# Once there is room again, a resume runs the members left and nothing else.
file(REMOVE ${WORK}/small/filler)
cli(0 out err ensemble run plan.toml --design design.csv --threads 2 --resume -o small/r.nc)
cli(0 out err ensemble status small/r.nc)
expect_contains("${out}" "done\t300\n")
execute_process(COMMAND umount ${WORK}/small)
