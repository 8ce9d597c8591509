# Installs the build into a fresh prefix and checks what a user gets there:
# the binary, the compressed man page, the example log, the bash completion,
# the copyright file and the changelog, each where the README, the man page
# and Debian say, and the installed binary running on the installed example. Run with -DBUILD_DIR, -DSOURCE_DIR and -DWORK_DIR.
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
set(completion ${prefix}/share/bash-completion/completions/session-stats)
set(copyright ${prefix}/share/doc/session-stats/copyright)
set(changelog ${prefix}/share/doc/session-stats/changelog.gz)
foreach(file ${binary} ${man_page} ${example} ${completion} ${copyright}
        ${changelog})
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

# The changelog unpacks to the one in packaging/, and its newest entry is
# the version being installed.
execute_process(COMMAND ${GZIP_PROGRAM} -dc ${changelog}
  OUTPUT_VARIABLE unpacked RESULT_VARIABLE status)
file(READ ${SOURCE_DIR}/packaging/changelog expected)
if(NOT status EQUAL 0 OR NOT unpacked STREQUAL expected)
  message(FATAL_ERROR "${changelog} does not unpack to packaging/changelog")
endif()
execute_process(COMMAND ${binary} --version OUTPUT_VARIABLE version)
string(REGEX REPLACE "^session-stats ([^\n]*)\n$" "\\1" version "${version}")
if(NOT unpacked MATCHES "^session-stats \\(${version}\\) ")
  message(FATAL_ERROR "the changelog's newest entry is not ${version}")
endif()

# The copyright file is machine-readable and holds the licence of LICENSE.
file(READ ${copyright} copyright_text)
if(NOT copyright_text MATCHES "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
   OR NOT copyright_text MATCHES "\nCopyright: 2026 the session-stats authors\nLicense: Expat\n Permission is hereby granted"
   OR NOT copyright_text MATCHES "\n .\n THE SOFTWARE IS PROVIDED")
  message(FATAL_ERROR "${copyright} is not the licence in Debian's format")
endif()

# The completion offers the options and, after --player, the log's names.
find_program(BASH_PROGRAM bash REQUIRED)
file(COPY ${example} DESTINATION ${WORK_DIR}/complete)
execute_process(
  COMMAND ${BASH_PROGRAM} -c [[
    PATH=$1:$PATH; source "$2"
    COMP_WORDS=(session-stats --ver); COMP_CWORD=1; _session_stats
    echo "${COMPREPLY[*]}"
    COMP_WORDS=(session-stats -p K); COMP_CWORD=2; _session_stats
    echo "${COMPREPLY[*]}"]] complete ${prefix}/bin ${completion}
  WORKING_DIRECTORY ${WORK_DIR}/complete
  OUTPUT_VARIABLE offered RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT offered STREQUAL "--version\nKestrel\n")
  message(FATAL_ERROR "bash completion offered '${offered}' (${status})")
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
