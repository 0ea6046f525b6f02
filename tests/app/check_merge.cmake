include(${CMAKE_CURRENT_LIST_DIR}/cli_check_support.cmake)
# Merging shards never loses what is stored: every input is checked first, the output is
# replaced only when asked, and only once the merge is whole. Launch scripts are checked
# before they are written, and work under paths with spaces. Failures name the file.
file(WRITE ${WORK}/plan.toml "params = \"cell1.par\"\ndrivers = \"cell1.drr\"\nstart = 1590\n"
  "stop = 1620\nmembers = 8\nseed = 11\n[[parameter]]\nsymbol = \"mf\"\n"
  "distribution = \"uniform\"\nmin = 75\nmax = 85\n[[output]]\nsymbol = \"Cw\"\nyearly = true\n")
cli(0 out err sample plan.toml --method lhs -o design.csv)
# Another design of the same plan: its first member has other parameters.
file(STRINGS ${WORK}/design.csv rows)
list(GET rows 2 first)
string(REPLACE "${first}" "80" other "${rows}")
string(REPLACE ";" "\n" other "${other}")
file(WRITE ${WORK}/other.csv "${other}\n")
cli(0 out err ensemble run plan.toml --design design.csv --threads 2 --shard 1/2 -o s1.nc)
cli(0 out err ensemble run plan.toml --design design.csv --threads 2 --shard 2/2 -o s2.nc)
cli(0 out err ensemble run plan.toml --design other.csv --threads 2 -o o.nc)
cli(0 out err ensemble merge s1.nc s2.nc -o all.nc)
file(WRITE ${WORK}/notes.nc "not results\n")
file(MAKE_DIRECTORY ${WORK}/sub)
file(MD5 ${WORK}/all.nc whole)
file(MD5 ${WORK}/s2.nc shard2)

# name | arguments | the message expected
set(refused
  "output_is_an_input|s1.nc s2.nc -o s2.nc|s2.nc: is also an input"
  "output_is_an_input_by_another_path|s1.nc s2.nc --replace -o sub/../s2.nc|is also an input (s2.nc)"
  "missing_input|s1.nc gone.nc --replace -o all.nc|gone.nc: cannot be opened: no such file"
  "text_file_as_input|notes.nc s2.nc --replace -o all.nc|notes.nc: not a results file (not a netCDF-4 file)"
  "existing_output_without_replace|s1.nc s2.nc -o all.nc|all.nc: exists: add --replace"
  "shards_of_two_designs|s1.nc o.nc --replace -o all.nc|o.nc: made from another design than s1.nc"
  "output_directory_missing|s1.nc s2.nc -o no/dir/m.nc|no/dir/m.nc: cannot be created: the directory no/dir does not exist")
foreach(case IN LISTS refused)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 name)
  list(GET fields 1 arguments)
  list(GET fields 2 expected)
  separate_arguments(arguments UNIX_COMMAND "${arguments}")
  cli(1 out err ensemble merge ${arguments})
  expect_contains("${err}" "${expected}")
  file(MD5 ${WORK}/all.nc now)
  file(MD5 ${WORK}/s2.nc now2)
  if(NOT now STREQUAL whole OR NOT now2 STREQUAL shard2 OR EXISTS ${WORK}/all.nc.making)
    message(FATAL_ERROR "${name}: a refused merge changed a file")
  endif()
endforeach()
cli(0 out err ensemble merge s2.nc s1.nc --replace -o all.nc)
cli(0 out err ensemble status all.nc)
expect_contains("${out}" "missing\t0\n")

# name | file | the message expected
set(unreadable
  "status_of_a_text_file|notes.nc|notes.nc: not a results file (not a netCDF-4 file)"
  "status_of_a_missing_file|gone.nc|gone.nc: cannot be opened: no such file")
foreach(case IN LISTS unreadable)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 1 results)
  list(GET fields 2 expected)
  cli(1 out err ensemble status ${results})
  expect_contains("${err}" "${expected}")
endforeach()
cli(1 out err ensemble run plan.toml --design design.csv --resume -o notes.nc)
expect_contains("${err}" "notes.nc: not a results file")
cli(1 out err ensemble run plan.toml --design design.csv -o no/dir/r.nc)
expect_contains("${err}" "no/dir/r.nc: cannot be created: the directory no/dir does not exist")

# Bad numbers for launch are refused as 'ensemble run' refuses them, before any script.
foreach(option value IN ZIP_LISTS "--threads;--threads;--threads;--max-running" "0;-1;5000;-3")
  cli(1 out err ensemble launch slurm plan.toml --design design.csv --shards 2
      ${option} ${value} -o bad.nc)
  expect_contains("${err}" "${option} must be a whole number from 1 to")
  file(GLOB scripts ${WORK}/bad.*)
  if(scripts)
    message(FATAL_ERROR "launch ${option} ${value} wrote ${scripts}")
  endif()
endforeach()

# GNU parallel under a path with a space, run twice: the second run resumes and merges again.
find_program(PARALLEL parallel)
if(PARALLEL)
  file(MAKE_DIRECTORY "${WORK}/with space")
  file(COPY_FILE ${WORK}/design.csv "${WORK}/with space/d.csv")
  cli(0 out err ensemble launch parallel plan.toml --design "with space/d.csv" --shards 2
      -o "with space/r.nc")
  foreach(attempt 1 2)
    execute_process(COMMAND "${WORK}/with space/r.parallel.sh" WORKING_DIRECTORY ${WORK}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE o ERROR_VARIABLE e)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "the GNU parallel script failed (${rc}) on attempt ${attempt}:\n${e}")
    endif()
  endforeach()
  cli(0 out err ensemble status "with space/r.nc")
  expect_contains("${out}" "missing\t0\n")
endif()

# Slurm under a path with a space and a '%': a stand-in sbatch records the words it is given;
# each log path must reach it whole, its '%' doubled so that sbatch replaces nothing in it.
file(MAKE_DIRECTORY "${WORK}/slurm 50% space" ${WORK}/bin)
file(WRITE ${WORK}/bin/sbatch "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done >> \"${WORK}/sbatch.args\"\necho 7\n")
file(CHMOD ${WORK}/bin/sbatch PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
cli(0 out err ensemble launch slurm plan.toml --design design.csv --shards 2 -o "slurm 50% space/r.nc")
execute_process(COMMAND ${CMAKE_COMMAND} -E env "PATH=${WORK}/bin:$ENV{PATH}"
                "${WORK}/slurm 50% space/r.slurm-submit.sh" RESULT_VARIABLE rc)
file(READ ${WORK}/sbatch.args words)
expect_contains("${words}" "[--output=${WORK}/slurm 50%% space/r.shard-%a.log]")
expect_contains("${words}" "[--output=${WORK}/slurm 50%% space/r.merge.log]")
file(READ "${WORK}/slurm 50% space/r.slurm-array.sh" array)
expect_not_contains("${array}" "#SBATCH --output")
