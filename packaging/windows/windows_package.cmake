# What Windows users receive, made beside kelvanto.exe by `make windows`: an installer built
# with NSIS (per-user or per-machine, Start menu entry, optional autostart, an uninstaller that
# asks whether the logs stay) and a zip of the portable program, which keeps its data beside
# itself. Both carry the project's version in their names.
find_program(KELVANTO_MAKENSIS makensis)
set(kelvanto_setup ${CMAKE_BINARY_DIR}/kelvanto-${PROJECT_VERSION}-setup.exe)
set(kelvanto_portable ${CMAKE_BINARY_DIR}/kelvanto-${PROJECT_VERSION}-portable.zip)
if(KELVANTO_MAKENSIS)
  add_custom_command(OUTPUT ${kelvanto_setup}
    COMMAND ${KELVANTO_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DPROGRAM=$<TARGET_FILE:kelvanto>
            -DOUTFILE=${kelvanto_setup} ${CMAKE_CURRENT_LIST_DIR}/kelvanto.nsi
    DEPENDS kelvanto ${CMAKE_CURRENT_LIST_DIR}/kelvanto.nsi
    COMMENT "Making the installer kelvanto-${PROJECT_VERSION}-setup.exe" VERBATIM)
  add_custom_target(kelvanto_setup ALL DEPENDS ${kelvanto_setup})
else()
  message(STATUS "  installer: makensis not found (install nsis), only the portable zip is made")
endif()
add_custom_command(OUTPUT ${kelvanto_portable}
  COMMAND ${CMAKE_COMMAND} -E rm -rf portable
  COMMAND ${CMAKE_COMMAND} -E make_directory portable/Kelvanto
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:kelvanto> portable/Kelvanto/kelvanto.exe
  COMMAND ${CMAKE_COMMAND} -E chdir portable ${CMAKE_COMMAND} -E tar cf ${kelvanto_portable} --format=zip Kelvanto
  DEPENDS kelvanto WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "Making the portable zip kelvanto-${PROJECT_VERSION}-portable.zip" VERBATIM)
add_custom_target(kelvanto_portable ALL DEPENDS ${kelvanto_portable})
