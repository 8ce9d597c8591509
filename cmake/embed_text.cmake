# Writes OUTPUT, a C++ header that holds the text of INPUT, less its
# /* comments */ and the line end after each, as the std::string_view NAME
# in namespace sessionstats:
#
#   cmake -DINPUT=style.css -DOUTPUT=style.h -DNAME=kStyle -P embed_text.cmake
#
# It runs at build time in CMake itself, so a cross build needs no program
# of its own to run. The text goes into a raw string literal, which it must
# not end: a text that holds its delimiter fails the build.
set(delimiter "embed")
file(READ "${INPUT}" text)
get_filename_component(source "${INPUT}" NAME)
string(REGEX REPLACE "/\\*([^*]|\\*+[^*/])*\\*+/\n?" "" text "${text}")
string(FIND "${text}" ")${delimiter}\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} holds )${delimiter}\", which would end its literal")
endif()
file(WRITE "${OUTPUT}.new"
  "// Generated from ${source} by cmake/embed_text.cmake.\n"
  "#include <string_view>\n\n"
  "namespace sessionstats {\n"
  "inline constexpr std::string_view ${NAME} = R\"${delimiter}(${text})${delimiter}\";\n"
  "}  // namespace sessionstats\n")
# An unchanged text leaves the header as it was, so nothing recompiles.
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
