# packaging/copyright, installed as the Debian package's copyright file,
# must name LICENSE's copyright holder and hold its licence text: the same
# words in the same order, however either file wraps its lines (the Debian
# format indents each line by one blank and writes an empty line as " .").
#
#   cmake -DSOURCE_DIR=<source tree> -P copyright_test.cmake

# The words of `text`, one blank between each.
function(words text out)
  string(REGEX REPLACE "\n \\.\n" "\n" text "${text}")
  string(REGEX REPLACE "[ \t\n]+" " " text "${text}")
  string(STRIP "${text}" text)
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

file(READ ${SOURCE_DIR}/LICENSE license)
file(READ ${SOURCE_DIR}/packaging/copyright copyright)

if(NOT license MATCHES "\nCopyright \\(c\\) ([^\n]*)\n(.*)$")
  message(FATAL_ERROR "LICENSE: no copyright line")
endif()
set(holder "${CMAKE_MATCH_1}")
words("${CMAKE_MATCH_2}" license_words)

if(NOT copyright MATCHES "\nCopyright: ([^\n]*)\nLicense: Expat\n(.*)$")
  message(FATAL_ERROR "packaging/copyright: no Copyright and License: Expat fields")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL holder)
  message(FATAL_ERROR "packaging/copyright names \"${CMAKE_MATCH_1}\", "
                      "LICENSE \"${holder}\"")
endif()
words("${CMAKE_MATCH_2}" copyright_words)
if(NOT copyright_words STREQUAL license_words)
  message(FATAL_ERROR "packaging/copyright: the licence differs from LICENSE's:\n"
                      "${copyright_words}\n---\n${license_words}")
endif()
