# Installs the build into a fresh prefix and checks that the desktop program is there under
# its own name and that the three run-mode names are links to it.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "installation failed: ${status}")
endif()
if(NOT EXISTS ${PREFIX}/bin/kvsorv OR IS_SYMLINK ${PREFIX}/bin/kvsorv)
  message(FATAL_ERROR "bin/kvsorv is not installed as a program")
endif()
foreach(mode modelbatch sensitivity montecarlo)
  set(link ${PREFIX}/bin/${mode})
  if(NOT IS_SYMLINK ${link})
    message(FATAL_ERROR "bin/${mode} is not a link")
  endif()
  file(READ_SYMLINK ${link} target)
  if(NOT target STREQUAL "kvsorv")
    message(FATAL_ERROR "bin/${mode} points to '${target}', not to kvsorv")
  endif()
endforeach()
# Installing again over the links works too.
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "second installation failed: ${status}")
endif()
file(REMOVE_RECURSE ${PREFIX})
