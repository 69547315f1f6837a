# Installs the build into a fresh prefix and runs the installed tool there, so
# that it must find its data in share/vantreo and nothing of the build folder.
#   cmake -DBUILD=... -DPREFIX=... -P installcheck.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
  RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

foreach(f bin/vantreo bin/vantreo-cli share/vantreo/InvType/typeInfo.txt
    share/vantreo/language/KorvaneINV_zh_CN.qm share/vantreo/language/KorvaneINV_Eng.qm
    share/applications/vantreo.desktop
    share/icons/hicolor/scalable/apps/vantreo.svg
    share/metainfo/org.vantreo.Vantreo.metainfo.xml
    share/man/man1/vantreo-cli.1 share/man/man1/vantreo.1)
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
foreach(f bin/InvType bin/iniProtocol.txt share/vantreo/tools)
  if(EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "installed where it does not belong: ${f}")
  endif()
endforeach()

# Started from elsewhere, so that neither the working folder nor the build
# folder can stand in for the data.
execute_process(COMMAND ${PREFIX}/bin/vantreo-cli --port sim params get 7
  WORKING_DIRECTORY ${PREFIX}/share/applications
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "installed vantreo-cli failed (${rc}): ${err}")
endif()
if(NOT out MATCHES "^[0-9.]+\n$")
  message(FATAL_ERROR "installed vantreo-cli printed '${out}', not a value")
endif()
if(NOT err MATCHES "found ZM-043-7.5K, ")
  message(FATAL_ERROR "installed vantreo-cli did not say which drive it found: ${err}")
endif()

# The installed copy keeps its settings in the user's own folder, not in the
# shared data folder (read only once installed by a package): a port stored
# there is the one used when --port is not given.
set(config ${PREFIX}/user-config)
file(REMOVE_RECURSE ${config})
file(WRITE ${config}/vantreo/iniProtocol.txt "1-sim-2-1-0-2-0\n")
execute_process(COMMAND ${CMAKE_COMMAND} -E env XDG_CONFIG_HOME=${config}
    ${PREFIX}/bin/vantreo-cli params get 7
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
if(NOT rc EQUAL 0 OR NOT out MATCHES "^[0-9.]+\n$")
  message(FATAL_ERROR "installed vantreo-cli did not use the port of "
    "${config}/vantreo/iniProtocol.txt (${rc}): ${out}${err}")
endif()
if(EXISTS ${PREFIX}/share/vantreo/iniProtocol.txt)
  message(FATAL_ERROR "installed vantreo-cli wrote its settings into share/vantreo")
endif()
