# language/*.ts (Qt Linguist sources, kept by scripts/update-translations.sh)
# compiled by lrelease into language/*.qm beside the executables.
set(VANTREO_TS_FILES
  ${CMAKE_CURRENT_LIST_DIR}/KorvaneINV_Eng.ts
  ${CMAKE_CURRENT_LIST_DIR}/KorvaneINV_zh_CN.ts
  ${CMAKE_CURRENT_LIST_DIR}/KorvaneINV_zh_Big.ts)
set_source_files_properties(${VANTREO_TS_FILES} PROPERTIES
  OUTPUT_LOCATION ${VANTREO_BIN_DIR}/language)
qt5_add_translation(VANTREO_QM_FILES ${VANTREO_TS_FILES})
add_custom_target(vantreo_translations ALL DEPENDS ${VANTREO_QM_FILES})
install(FILES ${VANTREO_QM_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/vantreo/language)
