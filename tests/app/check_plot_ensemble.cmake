include(${CMAKE_CURRENT_LIST_DIR}/cli_check_support.cmake)
cmake_policy(SET CMP0007 NEW)  # keep the empty "extra" element of a case
# The ensemble charts of results files drawn without a display, each with the CSV of what it
# draws beside it; and what they refuse.
function(plan name max)
  file(WRITE ${WORK}/${name}.toml "params = \"cell1.par\"\ndrivers = \"cell1.drr\"\n"
    "start = 1598\nstop = 1604\nstep = 1\noutput_step = 1\nmembers = 16\nseed = 5\n"
    "[[parameter]]\nsymbol = \"mf\"\ndistribution = \"uniform\"\nmin = 75\nmax = 85\n"
    "[[parameter]]\nsymbol = \"AlambdaF\"\ndistribution = \"uniform\"\nmin = 0.9\nmax = ${max}\n"
    "[[output]]\nsymbol = \"Cf\"\nyearly = true\n[[output]]\nsymbol = \"NEP\"\nyearly = true\n")
endfunction()
# A wide AlambdaF makes members fail; the narrow one none.
plan(wide 1.6)
plan(narrow 1.0)
foreach(run "wide|mc" "narrow|sobol" "narrow|morris" "narrow|oat")
  string(REPLACE "|" ";" run "${run}")
  list(GET run 0 p)
  list(GET run 1 method)
  cli(0 out err sample ${p}.toml --method ${method} -o ${method}-design.csv)
  cli(0 out err ensemble run ${p}.toml --design ${method}-design.csv --threads 2 -o ${method}.nc)
endforeach()

# kind|results file|extra arguments|the CSV's header
foreach(case "envelope|mc.nc|--output:NEP|time,q05,q25,q50,q75,q95,mean,observed,members"
             "tornado|mc.nc|--output:NEP:--time:1602|parameter,low,high"
             "tornado|oat.nc|--output:Cf|parameter,low,high"
             "sobol|sobol.nc|--output:Cf|parameter,S1,S1_low,S1_high,ST,ST_low,ST_high,stable,reason"
             "convergence|sobol.nc|--output:Cf|parameter,base_points,ST,first_base_points"
             "morris|morris.nc|--output:NEP|parameter,mu_star,sigma,stable,reason"
             "failures|mc.nc||parameter,failed_mean,done_mean,rank_biserial,p_value,failed,done")
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 kind)
  list(GET case 1 results)
  list(GET case 2 extra)
  list(GET case 3 header)
  string(REPLACE ":" ";" extra "${extra}")
  cli(0 out err plot ${kind} ${results} ${extra} --image ${kind}-${results}.png)
  file(READ ${WORK}/${kind}-${results}.png head LIMIT 4 HEX)
  file(STRINGS ${WORK}/${kind}-${results}-data.csv rows)
  list(GET rows 0 first)
  string(STRIP "${first}" first)
  list(LENGTH rows n)
  if(NOT head STREQUAL "89504e47" OR NOT first STREQUAL header OR n LESS 3)
    message(FATAL_ERROR "${kind} of ${results}: picture ${head}, ${n} CSV rows, header ${first}")
  endif()
endforeach()
file(READ ${WORK}/tornado-oat.nc-data.csv tornado)
expect_contains("${tornado}" "\nmf,")
file(READ ${WORK}/sobol-sobol.nc-data.csv sobol)
expect_contains("${sobol}" "\nAlambdaF,")
expect_contains("${sobol}" ",no,S1 interval ")  # 16 base points are too few for its indices
file(READ ${WORK}/failures-mc.nc-data.csv failures)
expect_contains("${failures}" "\nAlambdaF,")  # the parameter that makes members fail

# An SVG drawing, and observations laid over the envelope (the column named like the output).
file(WRITE ${WORK}/obs.csv "time,Cf,NEP\n1600,,12.5\n1603,3,-4\n")
cli(0 out err plot envelope mc.nc --output NEP --obs obs.csv --image observed.svg)
file(READ ${WORK}/observed.svg svg)
expect_contains("${svg}" "<svg")
file(READ ${WORK}/observed-data.csv observed)
expect_contains("${observed}" "1603,,,,,,,-4")

# Refused, naming what is wrong: a bad observation line, no output among several, a design the
# analysis cannot use.
file(WRITE ${WORK}/bad.csv "time,NEP\n1600,1\n1601,one\n")
cli(1 out err plot envelope mc.nc --output NEP --obs bad.csv --image refused.png)
expect_contains("${err}" "bad.csv, line 3: the value 'one' of NEP is not a number")
cli(1 out err plot envelope mc.nc --image refused.png)
expect_contains("${err}" "holds several outputs (Cf, NEP): choose one with --output SYM")
cli(1 out err plot sobol mc.nc --output Cf --image refused.png)
expect_contains("${err}" "holds the design 'mc'; the sobol analysis needs the design 'sobol'")
if(EXISTS ${WORK}/refused.png OR EXISTS ${WORK}/refused.csv)
  message(FATAL_ERROR "a refused plot wrote a picture")
endif()
