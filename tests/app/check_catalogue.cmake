execute_process(COMMAND ${CLI} catalogue OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "kvsorv-cli catalogue exited with ${rc}")
endif()
foreach(expected "States\n1\tCf\tFoliage Carbon\tgC m-2ground\n"
                 "Drivers\n1\tCa\tCO2\tppmv\n"
                 "Parameters\n1\tDeltad\tSite Latitude\tdegrees\n"
                 "Processes\n1\tdCfdt\tdFoliage Carbondt\tgC m-2groundt-1\n"
                 "126\tEt\tEvapotranspiration\tm H20 yr-1\n")
  string(FIND "${out}" "${expected}" pos)
  if(pos EQUAL -1)
    message(FATAL_ERROR "missing from the listing: ${expected}")
  endif()
endforeach()
