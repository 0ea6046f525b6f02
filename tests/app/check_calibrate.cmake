include(${CMAKE_CURRENT_LIST_DIR}/cli_check_support.cmake)
# Calibration against observations, run as a researcher would: a fit, a sampler stopped and
# resumed to the same chains on another number of threads, the verdict, the charts, a
# posterior carried into an ensemble, and bad plans and observations refused with the file
# and the entry or line.
set(site "params = \"cell1.par\"\ndrivers = \"cell1.drr\"\nstart = 1590\nstop = 1620\nseed = 5\n")
string(CONCAT priors "[[parameter]]\nsymbol = \"mf\"\ndistribution = \"uniform\"\nmin = 70\nmax = 90\n"
  "[[parameter]]\nsymbol = \"rg\"\ndistribution = \"normal\"\nmean = 0.25\nsd = 0.02\n")
set(sampler "[sampler]\nchains = 4\ngenerations = 24\nburn_in = 8\n")
file(WRITE ${WORK}/plan.toml "${site}${priors}[[observations]]\nfile = \"obs.csv\"\n${sampler}")
file(WRITE ${WORK}/obs.csv "time,output,value,sd,relative_error\n"
  "1605,Cw,10100,,0.02\n1610,Cw,10150,,0.02\n1620,Cf,195,4,\n")

cli(0 out err calibrate plan.toml --method fit -o fit.nc)
expect_contains("${out}" "collinearity index")
cli(0 out err calibrate plan.toml --method dezs --start-from fit.nc -o started.nc)

# One go, against twelve generations on one thread resumed to 24 on two.
cli(0 out err calibrate plan.toml --method dezs -o whole.nc)
expect_contains("${out}" "not converged")
cli(0 out err calibrate plan.toml --method dezs --threads 1 --generations 12 -o part.nc)
cli(0 out err calibrate plan.toml --method dezs --threads 2 --resume -o part.nc)
cli(3 out err calibrate status part.nc)
expect_contains("${out}" "24 of 24 generations")
cli(0 out err plot trace whole.nc --image whole.png)
cli(0 out err plot trace part.nc --image part.png)
file(MD5 ${WORK}/whole-data.csv a)
file(MD5 ${WORK}/part-data.csv b)
if(NOT a STREQUAL b)
  message(FATAL_ERROR "a resumed calibration differs from one never stopped")
endif()
cli(0 out err calibrate status whole.nc --rhat 100 --ess 1)
expect_contains("${out}" "converged: every R-hat below 100")
foreach(kind marginals pairs)
  cli(0 out err plot ${kind} whole.nc --image ${kind}.svg)
endforeach()
cli(0 out err plot fit whole.nc --output Cw --draws 20 --image fit.png)
foreach(f marginals.svg pairs-data.csv fit.png fit-data.csv)
  if(NOT EXISTS ${WORK}/${f})
    message(FATAL_ERROR "plot wrote no ${f}")
  endif()
endforeach()

# The posterior in an ensemble: 64 draws after the burn-in, each member one of them.
set(outputs "[[output]]\nsymbol = \"Cw\"\nyearly = true\n")
file(WRITE ${WORK}/ens.toml "${site}members = 10\nposterior = \"whole.nc\"\n${outputs}")
cli(0 out err sample ens.toml -o design.csv)
cli(0 out err ensemble run ens.toml --design design.csv -o ens.nc)
file(WRITE ${WORK}/many.toml "${site}members = 65\nposterior = \"whole.nc\"\n${outputs}")

# name | plan text | observations | arguments | the message expected
set(unknown "time,output,value,sd\n1605,Cx,1,1\n")
set(zero "time,output,value,sd\n1605,Cw,1,0\n")
set(between "time,output,value,sd\n1595,Cw,1,1\n")
set(negative "time,output,value,relative_error\n1605,Cw,-5,0.1\n")
set(good "time,output,value,sd\n1605,Cw,10000,100\n")
set(refused
  "unknown_symbol|${unknown}|obs.csv, line 2: output 'Cx': no state, process or driver has this symbol"
  "error_of_zero|${zero}|obs.csv, line 2: the error (sd) must be greater than 0"
  "time_not_written|${between}|obs.csv, line 2: the run writes no output line at 1595 (the nearest: 1590 and 1601)"
  "lognormal_of_a_negative_value|${negative}|obs.csv, line 2: a log-normal error needs a value greater than 0")
foreach(case IN LISTS refused)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 name)
  list(GET fields 1 observations)
  list(GET fields 2 expected)
  file(WRITE ${WORK}/bad/obs.csv "${observations}")
  file(WRITE ${WORK}/bad/plan.toml "params = \"../cell1.par\"\ndrivers = \"../cell1.drr\"\n"
    "start = 1590\nstop = 1620\nseed = 5\n${priors}[[observations]]\nfile = \"obs.csv\"\n"
    "error = \"lognormal\"\n")
  cli(1 out err calibrate bad/plan.toml --method dezs -o bad/chains.nc)
  expect_contains("${err}" "${expected}")
  if(EXISTS ${WORK}/bad/chains.nc)
    message(FATAL_ERROR "${name}: a refused calibration left a chains file")
  endif()
endforeach()

set(obs "[[observations]]\nfile = \"obs.csv\"\n")
set(prior_excluding_start "[[parameter]]\nsymbol = \"mf\"\ndistribution = \"uniform\"\nmin = 90\nmax = 99\n")
set(table_prior "[[parameter]]\nsymbol = \"mf\"\ndistribution = \"table\"\nvalues = [1, 2]\n")
set(plans
  "start_outside_prior|${site}${prior_excluding_start}${obs}|--method dezs -o c.nc|plan2.toml: parameter 'mf': its value in the parameter file, 80 lies where its prior has no density"
  "table_as_prior|${site}${table_prior}${obs}|--method dezs -o c.nc|plan2.toml: parameter 'mf': a table of values cannot be a prior"
  "unknown_parameter|${site}[[parameter]]\nsymbol = \"mfx\"\ndistribution = \"uniform\"\nmin = 1\nmax = 2\n${obs}|--method dezs -o c.nc|plan2.toml: parameter 'mfx': no parameter of the model has this symbol"
  "burn_in_too_long|${site}${priors}${obs}[sampler]\ngenerations = 10\nburn_in = 10\n|--method dezs -o c.nc|plan2.toml: sampler: burn_in (10) must be less than generations (10)"
  "resume_of_another_plan|${site}# another plan\n${priors}${obs}${sampler}|--method dezs --resume -o whole.nc|whole.nc: made from another plan"
  "output_is_an_observation_file|${site}${priors}${obs}|--method fit -o obs.csv|-o: 'obs.csv' is the input 'obs.csv' of this command")
foreach(case IN LISTS plans)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 name)
  list(GET fields 1 text)
  list(GET fields 2 arguments)
  list(GET fields 3 expected)
  file(WRITE ${WORK}/plan2.toml "${text}")
  separate_arguments(arguments UNIX_COMMAND "${arguments}")
  cli(1 out err calibrate plan2.toml ${arguments})
  expect_contains("${err}" "${expected}")
endforeach()
file(MD5 ${WORK}/whole.nc before)
cli(1 out err sample many.toml -o many.csv)
expect_contains("${err}" "65 members, but whole.nc holds 64 draws")
cli(1 out err sample ens.toml --method lhs -o lhs.csv)
expect_contains("${err}" "takes the Monte Carlo design (mc)")

# A chains file cut short is refused wherever it is read, never taken as zeros.
execute_process(COMMAND head -c 3000 whole.nc OUTPUT_FILE ${WORK}/cut.nc WORKING_DIRECTORY ${WORK})
file(WRITE ${WORK}/cut.toml "${site}members = 2\nposterior = \"cut.nc\"\n${outputs}")
foreach(arguments "calibrate;status;cut.nc" "sample;cut.toml;-o;cut.csv")
  cli(1 out err ${arguments})
  expect_contains("${err}" "cut.nc: damaged or cut short")
endforeach()
