# The ready-to-run folder <build>/dist: Setup next to the two programs it installs, as Setup
# expects to find them. Programs whose targets this build does not have are left out.
set(TAMSEL_DIST_DIR "${PROJECT_BINARY_DIR}/dist")

set(dist_commands COMMAND ${CMAKE_COMMAND} -E make_directory "${TAMSEL_DIST_DIR}")
set(dist_programs)
# The Windows programs are linked stripped already (see the MinGW toolchain file).
set(dist_strip FALSE)
if(CMAKE_STRIP AND NOT WIN32)
  set(dist_strip TRUE)
endif()
foreach(entry "setup_program=Setup${CMAKE_EXECUTABLE_SUFFIX}" "sample_program=TamselOrry.exe"
              "uninstall_program=uninstall.exe")
  string(REPLACE "=" ";" pair "${entry}")
  list(GET pair 0 target)
  list(GET pair 1 name)
  if(TARGET ${target} AND dist_strip)
    # The programs as they are installed: without their debugging sections (most of a
    # RelWithDebInfo file), which Setup would otherwise copy with every installation. The
    # targets in the build tree keep them for the debugger; symbols stay for backtraces.
    list(APPEND dist_commands COMMAND ${CMAKE_STRIP} --strip-debug -o
         "${TAMSEL_DIST_DIR}/${name}" "$<TARGET_FILE:${target}>")
    list(APPEND dist_programs ${target})
  elseif(TARGET ${target})
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
