# Validates the desktop entry and the AppStream metainfo with the checkers a
# distribution runs (desktop-file-validate, appstreamcli), and first makes sure
# each checker refuses a broken copy, so that a checker that passes everything
# cannot make the test pass.
#   cmake -DDESKTOP=... -DMETAINFO=... -DWORK=... -P validatefiles.cmake

function(require_tool var name package)
  find_program(${var} ${name})
  if(NOT ${var})
    message(FATAL_ERROR "${name} is missing (Debian package ${package}; "
      "scripts/install-deps.sh --dev installs it)")
  endif()
endfunction()
require_tool(DESKTOP_VALIDATE desktop-file-validate desktop-file-utils)
require_tool(APPSTREAMCLI appstreamcli appstream)

# Runs a checker; FATAL_ERROR unless it says "valid" (status 0, and for the
# desktop entry no warning either) when `expect` is valid, and unless it
# refuses the file when `expect` is broken.
function(check what expect)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(said "${out}${err}")
  set(valid FALSE)
  if(rc EQUAL 0 AND NOT said MATCHES "(warning|error): ")
    set(valid TRUE)
  endif()
  if(expect STREQUAL "valid" AND NOT valid)
    message(FATAL_ERROR "${what} is not valid (${rc}):\n${said}")
  elseif(expect STREQUAL "broken" AND valid)
    message(FATAL_ERROR "${what}: the checker accepted a broken copy:\n${said}")
  endif()
  message(STATUS "${what}: ${expect}, as expected")
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

file(READ ${DESKTOP} desktop)
string(REPLACE "Type=Application\n" "" broken "${desktop}")
file(WRITE ${WORK}/broken.desktop "${broken}")
check("broken desktop entry" broken ${DESKTOP_VALIDATE} ${WORK}/broken.desktop)
check("desktop entry ${DESKTOP}" valid ${DESKTOP_VALIDATE} ${DESKTOP})

file(READ ${METAINFO} metainfo)
string(REGEX REPLACE "<id>[^<]*</id>" "" broken "${metainfo}")
file(WRITE ${WORK}/broken.metainfo.xml "${broken}")
check("broken metainfo" broken ${APPSTREAMCLI} validate --no-net ${WORK}/broken.metainfo.xml)
check("metainfo ${METAINFO}" valid ${APPSTREAMCLI} validate --no-net ${METAINFO})

# The metainfo names the desktop entry that launches the program.
get_filename_component(desktop_name ${DESKTOP} NAME)
if(NOT metainfo MATCHES "<launchable type=\"desktop-id\">${desktop_name}</launchable>")
  message(FATAL_ERROR "the metainfo does not launch ${desktop_name}")
endif()
