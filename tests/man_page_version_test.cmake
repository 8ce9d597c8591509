# The man page's title line must name the version the build takes from
# packaging/changelog, or `man session-stats` would show a stale one.
#
#   cmake -DMAN_PAGE=<docs/session-stats.1> -DVERSION=<x.y.z> -P man_page_version_test.cmake

file(STRINGS ${MAN_PAGE} title REGEX "^\\.TH " LIMIT_COUNT 1)
if(NOT title MATCHES "\"session-stats ([^\"]*)\"")
  message(FATAL_ERROR "${MAN_PAGE}: the .TH line names no version: ${title}")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
  message(FATAL_ERROR "${MAN_PAGE} names version ${CMAKE_MATCH_1}, "
                      "packaging/changelog ${VERSION}")
endif()
