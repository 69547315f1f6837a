# Writes the manual page of vantreo-cli from its own --help text, so that the
# page says what the installed tool does.
#   cmake -DCLI=path/to/vantreo-cli -DOUT=vantreo-cli.1 -DVERSION=x.y.z -P manpage.cmake
execute_process(COMMAND ${CLI} --help OUTPUT_VARIABLE help RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${CLI} --help failed: ${rc}")
endif()

# roff: a backslash is \e, a minus sign in an option is \-, and a line that
# starts with a dot or an apostrophe would be a request.
string(REPLACE "\\" "\\e" help "${help}")
string(REPLACE "-" "\\-" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")

# The help text is: the usage lines, "Commands:" with one entry per command,
# then paragraphs of notes separated by blank lines.
string(FIND "${help}" "\n\nCommands:\n" commands_at)
if(commands_at EQUAL -1)
  message(FATAL_ERROR "the --help text has no 'Commands:' section")
endif()
string(SUBSTRING "${help}" 0 ${commands_at} usage)
math(EXPR after "${commands_at} + 12")
string(SUBSTRING "${help}" ${after} -1 rest)
string(FIND "${rest}" "\n\n" notes_at)
if(notes_at EQUAL -1)
  message(FATAL_ERROR "the --help text has no notes after its commands")
endif()
string(SUBSTRING "${rest}" 0 ${notes_at} commands)
math(EXPR after "${notes_at} + 2")
string(SUBSTRING "${rest}" ${after} -1 notes)

string(REGEX REPLACE "^Usage: " "" usage "${usage}")
string(REGEX REPLACE "\n       " "\n" usage "${usage}")
string(STRIP "${notes}" notes)
string(REPLACE "\n\n" "\n.PP\n" notes "${notes}")

file(WRITE ${OUT}.tmp
".TH VANTREO\\-CLI 1 \"\" \"Vantreo ${VERSION}\" \"User Commands\"
.SH NAME
vantreo\\-cli \\- read, write, save, scan and watch variable\\-frequency drives
.SH SYNOPSIS
.nf
${usage}
.fi
.SH COMMANDS
.nf
${commands}
.fi
.SH DESCRIPTION
${notes}
.SH FILES
.TP
.I iniProtocol.txt
the communication settings shared with the desktop program: in the data
folder (beside the executable in a build, or the folder given by
\\fB\\-\\-data\\fR), or in \\fI~/.config/vantreo\\fR for the installed
copy, whose data in \\fI/usr/share/vantreo\\fR is read only
.SH SEE ALSO
.BR vantreo (1)
")
# Replaced only when it changed, so that an unchanged page does not rebuild.
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.tmp)
