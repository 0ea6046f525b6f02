include(${CMAKE_CURRENT_LIST_DIR}/cli_check_support.cmake)
# A results file read by the programs researchers use (xarray with cftime, CDO, NCO): each
# sees every output with its units and time steps, and the values analyze and export read.
# The long CSV export and the refusals of files that are not whole results files.
find_program(CDO cdo REQUIRED)
find_program(NCKS ncks REQUIRED)
set(PYTHON /usr/bin/python3)  # Debian's, with its xarray and cftime
file(WRITE ${WORK}/plan.toml "params = \"cell1.par\"\ndrivers = \"cell1.drr\"\nstart = 1590\n"
  "stop = 1620\nmembers = 5\nseed = 11\n[[parameter]]\nsymbol = \"mf\"\n"
  "distribution = \"uniform\"\nmin = 75\nmax = 85\n[[output]]\nsymbol = \"Cf\"\nyearly = true\n"
  "[[output]]\nsymbol = \"NEP\"\ntimes = [1610, 1620]\n")
cli(0 out err sample plan.toml --method lhs -o design.csv)
cli(0 out err ensemble run plan.toml --design design.csv --threads 2 -o r.nc)
cli(0 out err analyze envelope r.nc --outputs Cf --times 1610,1620 -o env.csv)
cli(0 out err ensemble export r.nc --csv r.csv)

function(run_tool out)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${WORK}
                  OUTPUT_VARIABLE o ERROR_VARIABLE e RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${ARGN}: exit ${rc}\n${o}\n${e}")
  endif()
  set(${out} "${o}" PARENT_SCOPE)
endfunction()

# CDO: both outputs, 21 time steps of model years from 1590 to 1620.
run_tool(out ${CDO} -s sinfon r.nc)
expect_contains("${out}" "Cf")
expect_contains("${out}" "NEP")
expect_contains("${out}" "time : 21 steps")
expect_contains("${out}" "1590-01-01 00:00:00")
expect_contains("${out}" "Calendar = 365_day")
run_tool(out ${CDO} -s infon r.nc)
expect_contains("${out}" "1620-01-01 00:00:00")
# NCO: member 3 alone.
run_tool(out ${NCKS} -O -d member,3 -v Cf,status r.nc m3.nc)
# xarray: Cf by member and time with its units, equal to what analyze and export read.
run_tool(out ${PYTHON} ${CMAKE_CURRENT_LIST_DIR}/cf_clients_check.py ${WORK})
expect_contains("${out}" "checked")

# name | file | the message expected
file(WRITE ${WORK}/notes.nc "not results\n")
execute_process(COMMAND head -c 4000 r.nc OUTPUT_FILE ${WORK}/cut.nc WORKING_DIRECTORY ${WORK})
# Another program's netCDF file: NCO's output without the global attributes.
find_program(NCATTED ncatted REQUIRED)
execute_process(COMMAND ${NCATTED} -O -a ,global,d,, m3.nc foreign.nc WORKING_DIRECTORY ${WORK})
set(refused
  "truncated|cut.nc|cut.nc: cannot be opened: damaged"
  "another program's netCDF file|foreign.nc|foreign.nc: not a results file (it has no plan fingerprint)"
  "not netCDF|notes.nc|notes.nc: not a results file (not a netCDF-4 file)")
foreach(case IN LISTS refused)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 1 results)
  list(GET fields 2 expected)
  cli(1 out err ensemble export ${results} --csv out.csv)
  expect_contains("${err}" "${expected}")
  cli(1 out err analyze envelope ${results} -o out.csv)
  expect_contains("${err}" "${expected}")
endforeach()
cli(1 out err ensemble export r.nc --csv r.nc)
expect_contains("${err}" "is the input")
