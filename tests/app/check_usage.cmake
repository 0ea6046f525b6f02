include(${CMAKE_CURRENT_LIST_DIR}/cli_check_support.cmake)
# The overall usage lists every command, however it is asked for.
foreach(ask --help -h help)
  cli(0 out err ${ask})
  foreach(command catalogue run processes steady-state table plot)
    expect_contains("${out}" "${command}")
  endforeach()
endforeach()
# Each command answers --help with its own usage: command, then an option only it has.
foreach(case "catalogue|kvsorv-cli catalogue" "run|--output-step" "processes|--time"
             "steady-state|--solves" "table|--csv" "plot|--image")
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 command)
  list(GET case 1 expected)
  cli(0 out err ${command} --help)
  expect_contains("${out}" "${expected}")
endforeach()
# The version is the project's.
cli(0 out err --version)
expect_contains("${out}" "${VERSION}\n")
