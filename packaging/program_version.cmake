# Writes the definition of kuzelna::programVersion() into OUTPUT, from VERSION
# and the commit of the checkout in SOURCE_DIR (none outside a checkout). The
# file is rewritten only when the text changes, so an unchanged commit
# recompiles nothing.
set(commit "")
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(
    COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} describe --always --dirty --abbrev=7
    OUTPUT_VARIABLE commit
    ERROR_QUIET
    RESULT_VARIABLE status
    OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT status EQUAL 0)
    set(commit "")
  endif()
endif()
set(text "${VERSION}")
if(commit)
  set(text "${VERSION} (git ${commit})")
endif()
set(content "// Written by the build from the project version and the git commit.\n#include \"core/program_version.h\"\n\nconst char* kuzelna::programVersion() {\n    return \"${text}\";\n}\n")
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} old)
endif()
if(NOT old STREQUAL content)
  file(WRITE ${OUTPUT} "${content}")
endif()
