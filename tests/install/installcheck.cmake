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
    share/icons/hicolor/scalable/apps/vantreo.svg)
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
