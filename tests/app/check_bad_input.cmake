include(${CMAKE_CURRENT_LIST_DIR}/cli_check_support.cmake)
# Unreadable and wrong files give an error message and exit 1, never a crash.
file(WRITE ${WORK}/other.par "OTHER MODEL          1.0\r\n")
cli(1 out err processes --params other.par --drivers cell1.drr)
expect_contains("${err}" "The parameter file selected is not compatible with this model. No parameters read.")
cli(1 out err processes --params missing.par --drivers cell1.drr)
expect_contains("${err}" "missing.par")
file(WRITE ${WORK}/words.drr "h\r\nh\r\n0 1 2 three\r\n")
cli(1 out err processes --params cell1.par --drivers words.drr)
expect_contains("${err}" "Invalid numeric input")
cli(1 out err run --params cell1.par --drivers cell1.drr)
expect_contains("${err}" "--output is required")
cli(1 out err run --params cell1.par --drivers cell1.drr --output o.out --stop abc)
expect_contains("${err}" "--stop: 'abc' is not a number")
# Numbers are whole texts: no trailing words, no infinities.
cli(1 out err processes --params cell1.par --drivers cell1.drr --time 1600x)
expect_contains("${err}" "--time: '1600x' is not a number")
cli(1 out err processes --params cell1.par --drivers cell1.drr --water-coefficient=inf)
cli(1 out err run --params cell1.par --drivers cell1.drr --output o.out --frobnicate 1)
# No command writes over a file it reads, by any spelling of its name; the input stays whole.
cli(0 out err run --params cell1.par --drivers cell1.drr --output o.out)
file(WRITE ${WORK}/p.toml "params = \"cell1.par\"\ndrivers = \"cell1.drr\"\nmembers = 4\n"
  "seed = 1\n[[parameter]]\nsymbol = \"mf\"\ndistribution = \"uniform\"\nmin = 75\nmax = 85\n"
  "[[parameter]]\nsymbol = \"Q10d\"\ndistribution = \"table\"\nfile = \"chain.csv\"\n"
  "column = \"q\"\n[[output]]\nsymbol = \"Cf\"\nyearly = true\n")
file(WRITE ${WORK}/chain.csv "q\n1.9\n2.1\n")
file(MAKE_DIRECTORY ${WORK}/sub)
file(CREATE_LINK o.out ${WORK}/o.png SYMBOLIC)
file(READ ${WORK}/p.toml plan_before)
file(READ ${WORK}/o.out out_before)
cli(0 out err sample p.toml -o pd.csv)
file(COPY_FILE ${WORK}/cell1.par ${WORK}/cell1.out)
foreach(case
    "ensemble;launch;parallel;p.toml;--design;pd.csv;-o;chain.csv"
    "ensemble;launch;slurm;p.toml;--design;pd.csv;-o;./pd.csv"
    "chain;--params;cell1.out;--drivers;cell1.drr;--output-dir;.;--start;1590;--stop;1600"
    "sample;p.toml;--method;lhs;-o;sub/../p.toml"
    "sample;p.toml;-o;cell1.par"
    "sample;p.toml;-o;cell1b.drr"
    "sample;p.toml;-o;chain.csv"
    "table;--output;o.out;--csv;./o.out"
    "plot;--output;o.out;--series;Foliage Carbon;--image;o.png"
    "analyze;envelope;p.toml;--inputs;1;-o;p.toml")
  cli(1 out err ${case})
  expect_contains("${err}" "of this command; choose another name")
endforeach()
file(READ ${WORK}/p.toml plan_after)
file(READ ${WORK}/o.out out_after)
if(NOT plan_before STREQUAL plan_after OR NOT out_before STREQUAL out_after)
  message(FATAL_ERROR "an input was changed")
endif()
# A directory where a table belongs is named as one.
file(MAKE_DIRECTORY ${WORK}/table.dir)
cli(1 out err analyze envelope table.dir --inputs 1 -o e.csv)
expect_contains("${err}" "Cannot open file 'table.dir': it is a directory")
# Runs that could only fail on an arithmetic fault naming nothing are refused, saying why.
file(WRITE ${WORK}/cell7.drr "")
cli(1 out err run --params cell1.par --drivers cell7.drr --output o7.out)
expect_contains("${err}" "--drivers: 'cell7.drr' holds no driver record")
cli(1 out err run --params cell1.par --drivers cell1.drr --output o.out --start 1590 --stop 1640 --step 100)
expect_contains("${err}" "--step must be at most --stop - --start (50)")
# An empty name names no file: each command says which option has it.
foreach(command "ensemble;status" "sample" "run;--params;cell1.par;--output;x.out;--drivers")
  execute_process(COMMAND ${CLI} ${command} "" WORKING_DIRECTORY ${WORK} RESULT_VARIABLE rc
                  ERROR_VARIABLE e OUTPUT_QUIET)
  expect_contains("${e}" ": the name is empty")
endforeach()
