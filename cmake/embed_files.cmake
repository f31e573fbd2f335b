# Writes OUTPUT, a C++ source defining one std::string_view a file: each
# FILE's bytes in a raw string literal, named by NAMES. Run with cmake -P.
set(content "// Generated at build time from the report's page files; do not edit.\n#include <string_view>\n\nnamespace skewquad::embedded {\n")
foreach(file name IN ZIP_LISTS FILES NAMES)
  file(READ ${file} text)
  string(FIND "${text}" ")embedded\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${file} holds the literal's closing delimiter")
  endif()
  string(APPEND content "extern const std::string_view ${name};\nconst std::string_view ${name} = R\"embedded(${text})embedded\";\n")
endforeach()
string(APPEND content "}  // namespace skewquad::embedded\n")
file(WRITE ${OUTPUT}.new "${content}")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
