# What a Debian package of Vantreo carries beyond the programs and their data:
# the AppStream metainfo, the manual pages, and the CPack settings of
# `cmake --build build --target package` (vantreo_<version>_amd64.deb).

configure_file(${CMAKE_CURRENT_LIST_DIR}/org.vantreo.Vantreo.metainfo.xml
  ${CMAKE_BINARY_DIR}/packaging/org.vantreo.Vantreo.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/org.vantreo.Vantreo.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The page of vantreo-cli is written from its --help text whenever the tool is
# rebuilt; the page of the desktop program is written by hand.
set(VANTREO_CLI_MANPAGE ${CMAKE_BINARY_DIR}/packaging/vantreo-cli.1)
add_custom_command(OUTPUT ${VANTREO_CLI_MANPAGE}
  COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:vantreo-cli> -DOUT=${VANTREO_CLI_MANPAGE}
    -DVERSION=${PROJECT_VERSION} -P ${CMAKE_CURRENT_LIST_DIR}/manpage.cmake
  DEPENDS vantreo-cli vantreo_data ${CMAKE_CURRENT_LIST_DIR}/manpage.cmake
  COMMENT "Writing the manual page of vantreo-cli from its --help")
add_custom_target(vantreo_manpages ALL DEPENDS ${VANTREO_CLI_MANPAGE})
install(FILES ${VANTREO_CLI_MANPAGE} ${CMAKE_CURRENT_LIST_DIR}/vantreo.1
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantreo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Vantreo developers")
set(CPACK_PACKAGE_CONTACT "Vantreo developers <developers@vantreo.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "set up, save and watch variable-frequency drives over a serial line")
# The summary is the first line of the Description; CPack indents the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Vantreo reads and writes the parameters of variable-frequency motor drives,
saves and loads parameter sets (XML and .xls), shows live values on dials,
plots and lamps, records trend curves, reads the alarm history, and runs,
stops and sets the frequency of a drive. It speaks Modbus RTU, Modbus ASCII
and the drives' own character protocol, in English, simplified Chinese and
traditional Chinese.

The package holds the desktop program vantreo (try it with vantreo --demo on
its simulated drives) and the command-line tool vantreo-cli.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries the programs link are found by dpkg-shlibdeps; what the
# libraries do not name is added here: the Chinese font and Qt's own
# translations (its dialogs in Chinese). The Qt platform plugins (xcb for the
# desktop, offscreen for headless runs) come with libqt5gui5, which the
# computed list names.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei, qttranslations5-l10n")
# Debug information stays in the build; the package carries stripped programs.
set(CPACK_STRIP_FILES ON)
# Native Wayland sessions; without it Qt runs through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qtwayland5")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
