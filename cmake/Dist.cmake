# The ready-to-run folder <build>/dist: Setup next to the two programs it installs, as Setup
# expects to find them. Programs whose targets this build does not have are left out.
set(TAMSEL_DIST_DIR "${PROJECT_BINARY_DIR}/dist")

set(dist_commands COMMAND ${CMAKE_COMMAND} -E make_directory "${TAMSEL_DIST_DIR}")
set(dist_programs)
foreach(entry "setup_program=Setup${CMAKE_EXECUTABLE_SUFFIX}" "sample_program=TamselOrry.exe"
              "uninstall_program=uninstall.exe")
  string(REPLACE "=" ";" pair "${entry}")
  list(GET pair 0 target)
  list(GET pair 1 name)
  if(TARGET ${target})
    # cmake -E copy keeps the permission bits, so the programs stay executable.
    list(APPEND dist_commands COMMAND ${CMAKE_COMMAND} -E copy_if_different
         "$<TARGET_FILE:${target}>" "${TAMSEL_DIST_DIR}/${name}")
    list(APPEND dist_programs ${target})
  else()
    message(STATUS "dist: no target ${target} yet; ${name} is left out of dist/")
  endif()
endforeach()

add_custom_target(dist ALL ${dist_commands}
                  COMMENT "Assembling the ready-to-run folder ${TAMSEL_DIST_DIR}" VERBATIM)
if(dist_programs)
  add_dependencies(dist ${dist_programs})
endif()
