# Installs the build into a fresh prefix and checks what a user gets there:
# the binary, the compressed man page and the example log, each where the
# README and the man page say, and the installed binary running on the
# installed example. Run with -DBUILD_DIR, -DSOURCE_DIR and -DWORK_DIR.
set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/run)

execute_process(
  COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
  RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(binary ${prefix}/bin/session-stats)
set(man_page ${prefix}/share/man/man1/session-stats.1.gz)
set(example ${prefix}/share/doc/session-stats/examples/sessionlog.txt)
foreach(file ${binary} ${man_page} ${example})
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

# The man page must be gzip data that unpacks to the page as written.
find_program(GZIP_PROGRAM gzip REQUIRED)
execute_process(COMMAND ${GZIP_PROGRAM} -dc ${man_page}
  OUTPUT_VARIABLE unpacked RESULT_VARIABLE status)
file(READ ${SOURCE_DIR}/docs/session-stats.1 page)
if(NOT status EQUAL 0 OR NOT unpacked STREQUAL page)
  message(FATAL_ERROR "${man_page} does not unpack to docs/session-stats.1")
endif()

file(COPY ${example} DESTINATION ${WORK_DIR}/run)
file(WRITE ${WORK_DIR}/answer "Kestrel\n")
execute_process(COMMAND ${binary}
  WORKING_DIRECTORY ${WORK_DIR}/run
  INPUT_FILE ${WORK_DIR}/answer
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT err STREQUAL ""
   OR NOT out STREQUAL "Generate session_stats.txt for who: "
   OR NOT EXISTS ${WORK_DIR}/run/session_stats.txt)
  message(FATAL_ERROR
    "installed binary on the installed example: status ${status}, "
    "out '${out}', err '${err}'")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
