# The manual page of vantreo-cli names every command and option of its --help,
# and groff formats it without a warning.
#   cmake -DCLI=... -DPAGE=... -P manpagecheck.cmake
find_program(GROFF groff)
if(NOT GROFF)
  message(FATAL_ERROR "groff is missing (Debian package groff-base; "
    "scripts/install-deps.sh --dev installs it)")
endif()
execute_process(COMMAND ${CLI} --help OUTPUT_VARIABLE help RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${CLI} --help failed: ${rc}")
endif()
if(NOT EXISTS ${PAGE})
  message(FATAL_ERROR "no manual page at ${PAGE}")
endif()
file(READ ${PAGE} page)

# What the page shows once formatted, without hyphenation, overstriking or
# line breaks in the way of the comparison.
execute_process(COMMAND ${GROFF} -man -Tutf8 -P-cbou -ww -rLL=200n -rHY=0 ${PAGE}
  RESULT_VARIABLE rc OUTPUT_VARIABLE shown ERROR_VARIABLE warnings)
if(NOT rc EQUAL 0 OR NOT warnings STREQUAL "")
  message(FATAL_ERROR "groff complains about ${PAGE} (${rc}):\n${warnings}")
endif()
string(REPLACE "‐" "-" shown "${shown}")
string(REPLACE "−" "-" shown "${shown}")

string(REGEX MATCHALL "--[a-z][a-z-]*" options "${help}")
string(REGEX MATCHALL "\n  [a-z]+ " commands "${help}")
list(REMOVE_DUPLICATES options)
list(REMOVE_DUPLICATES commands)
list(LENGTH options option_count)
list(LENGTH commands command_count)
if(option_count LESS 10 OR command_count LESS 5)
  message(FATAL_ERROR "the --help text lost its options or commands:\n${help}")
endif()
foreach(word IN LISTS options commands)
  string(STRIP "${word}" word)
  string(FIND "${shown}" "${word}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the manual page does not mention '${word}'")
  endif()
endforeach()
message(STATUS "${option_count} options and ${command_count} commands of --help are in the page")
