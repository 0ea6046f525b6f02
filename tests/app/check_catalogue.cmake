include(${CMAKE_CURRENT_LIST_DIR}/cli_check_support.cmake)
cli(0 out err catalogue)
foreach(expected "States\n1\tCf\tFoliage Carbon\tgC m-2ground\n"
                 "Drivers\n1\tCa\tCO2\tppmv\n"
                 "Parameters\n1\tDeltad\tSite Latitude\tdegrees\n"
                 "Processes\n1\tdCfdt\tdFoliage Carbondt\tgC m-2groundt-1\n"
                 "126\tEt\tEvapotranspiration\tm H20 yr-1\n")
  expect_contains("${out}" "${expected}")
endforeach()
cli(2 out err)
cli(2 out err frobnicate)
