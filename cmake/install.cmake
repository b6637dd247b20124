# cmake --install: where a Debian game puts its files. Programs in games/,
# the shipped files in share/games/veltix-race (the further courses in its
# courses/), the launcher beside the programs, and the menu entry, icons,
# metadata and manual pages where the desktop looks for them. Tests and
# developers' tools are not installed.
include(GNUInstallDirs)
set(RACER_INSTALL_GAMESDIR games CACHE STRING "Programs, relative to the prefix")
set(RACER_INSTALL_GAMEDATADIR ${CMAKE_INSTALL_DATAROOTDIR}/games/veltix-race CACHE STRING
  "The shipped config.txt and map.txt, relative to the prefix")
set(RACER_APP_ID org.veltixrace.VeltixRace)

# The release's date, from its entry in CHANGELOG.md: a version without one
# is not ready to be installed.
file(STRINGS ${PROJECT_SOURCE_DIR}/CHANGELOG.md entry REGEX "^## ${PROJECT_VERSION} \\([0-9-]+\\)$")
if(NOT entry MATCHES "\\(([0-9-]+)\\)")
  message(FATAL_ERROR "CHANGELOG.md has no entry \"## ${PROJECT_VERSION} (YYYY-MM-DD)\"")
endif()
set(RACER_RELEASE_DATE ${CMAKE_MATCH_1})

set(packaging ${PROJECT_SOURCE_DIR}/packaging)
set(generated ${CMAKE_BINARY_DIR}/packaging)
# The launcher and the menu entry name the programs and the shipped files by
# their full paths: /usr/games is not on every PATH.
cmake_path(ABSOLUTE_PATH RACER_INSTALL_GAMESDIR BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX} OUTPUT_VARIABLE RACER_GAMES_DIR)
cmake_path(ABSOLUTE_PATH RACER_INSTALL_GAMEDATADIR BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX} OUTPUT_VARIABLE RACER_DATA_DIR)
configure_file(${packaging}/veltix-race.in ${generated}/veltix-race @ONLY)
foreach(file ${RACER_APP_ID}.metainfo.xml ${RACER_APP_ID}.desktop)
  configure_file(${packaging}/${file}.in ${generated}/${file} @ONLY)
endforeach()

set(programs racer racer_window)
foreach(tool racer_sim racer_check)
  if(TARGET ${tool})
    list(APPEND programs ${tool})
  endif()
endforeach()
install(TARGETS ${programs} RUNTIME DESTINATION ${RACER_INSTALL_GAMESDIR})
install(PROGRAMS ${generated}/veltix-race DESTINATION ${RACER_INSTALL_GAMESDIR})
install(FILES
  ${PROJECT_SOURCE_DIR}/data/config.txt ${PROJECT_SOURCE_DIR}/data/config_bak.txt
  ${PROJECT_SOURCE_DIR}/data/map.txt ${PROJECT_SOURCE_DIR}/data/map_bak.txt
  DESTINATION ${RACER_INSTALL_GAMEDATADIR})
# The further courses, for a player to copy over their map.txt.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/courses/ DESTINATION ${RACER_INSTALL_GAMEDATADIR}/courses
  FILES_MATCHING PATTERN "*.txt")

install(FILES ${generated}/${RACER_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${generated}/${RACER_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${packaging}/icons/veltix-race-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps RENAME veltix-race.png)
endforeach()

# A manual page for each installed program; the two game programs share one.
list(REMOVE_ITEM programs racer_window)
foreach(page veltix-race ${programs})
  configure_file(${packaging}/man/${page}.6 ${generated}/man/${page}.6 @ONLY)
  install(FILES ${generated}/man/${page}.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endforeach()
file(CREATE_LINK racer.6 ${generated}/man/racer_window.6 SYMBOLIC)
install(FILES ${generated}/man/racer_window.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
