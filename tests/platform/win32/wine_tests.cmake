# The Windows tests, run under Wine through CTest in one Wine prefix that the run makes
# first (win32.prefix.make) and removes last (win32.prefix.remove).
set(KELVANTO_WINE_RUN ${CMAKE_CURRENT_LIST_DIR}/wine_run.sh)
set(wine_emulator bash ${KELVANTO_WINE_RUN} exec ${CMAKE_BINARY_DIR})

add_test(NAME win32.prefix.make COMMAND bash ${KELVANTO_WINE_RUN} make ${CMAKE_BINARY_DIR})
add_test(NAME win32.prefix.remove COMMAND bash ${KELVANTO_WINE_RUN} remove ${CMAKE_BINARY_DIR})
set_tests_properties(win32.prefix.make PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 120 LABELS win32)
set_tests_properties(win32.prefix.remove PROPERTIES FIXTURES_CLEANUP wine_prefix TIMEOUT 60 LABELS win32)

# The core tests in four shards, so that both cores run them.
set_target_properties(kelvanto_core_tests PROPERTIES CROSSCOMPILING_EMULATOR "${wine_emulator}")
foreach(shard RANGE 3)
  add_test(NAME win32.core.${shard} COMMAND kelvanto_core_tests)
  set_tests_properties(win32.core.${shard} PROPERTIES FIXTURES_REQUIRED wine_prefix LABELS "win32;core" TIMEOUT 300
    ENVIRONMENT "GTEST_TOTAL_SHARDS=4;GTEST_SHARD_INDEX=${shard}")
endforeach()

# The Windows platform layer against the real system under Wine. The program's manifest is
# linked in: Wine refuses to start a program whose manifest it cannot read.
file(GLOB win32_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
add_executable(kelvanto_win32_tests ${win32_tests} ${CMAKE_CURRENT_LIST_DIR}/root_certificate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../../support/temp_dir.cpp
  $<TARGET_OBJECTS:kelvanto_resources>)
target_include_directories(kelvanto_win32_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../..)
target_link_libraries(kelvanto_win32_tests PRIVATE kelvanto_win32 GTest::gtest GTest::gtest_main)
target_link_options(kelvanto_win32_tests PRIVATE -Wl,--stack,1048576)
set_target_properties(kelvanto_win32_tests PROPERTIES CROSSCOMPILING_EMULATOR "${wine_emulator}")
add_test(NAME win32.platform COMMAND kelvanto_win32_tests --gtest_filter=-WithPeers.*)
# Both this and the program's test use the key HKCU\software\Kelvanto of the one prefix.
set_tests_properties(win32.platform PROPERTIES FIXTURES_REQUIRED wine_prefix LABELS win32 TIMEOUT 120
  RESOURCE_LOCK kelvanto_registry)
# The windows and dialogs, opened and driven by their controls' identifiers as a user does,
# each subsystem's from tests/<subsystem>/win32/.
get_filename_component(tests_root ${CMAKE_CURRENT_LIST_DIR}/../.. ABSOLUTE)
file(GLOB win32_ui_tests CONFIGURE_DEPENDS ${tests_root}/*/win32/*_test.cpp)
# The platform layer's own tests above are not among them.
list(FILTER win32_ui_tests EXCLUDE REGEX "^${tests_root}/platform/")
if(win32_ui_tests)
  add_executable(kelvanto_win32_ui_tests ${win32_ui_tests} ${CMAKE_CURRENT_LIST_DIR}/../../support/temp_dir.cpp
    $<TARGET_OBJECTS:kelvanto_resources>)
  target_include_directories(kelvanto_win32_ui_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../..)
  target_link_libraries(kelvanto_win32_ui_tests PRIVATE kelvanto_win32_ui GTest::gtest GTest::gtest_main)
  target_link_options(kelvanto_win32_ui_tests PRIVATE -Wl,--stack,1048576)
  add_test(NAME win32.dialogs COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/wine_with_window_manager.sh ${CMAKE_BINARY_DIR}
    $<TARGET_FILE:kelvanto_win32_ui_tests>)
  set_tests_properties(win32.dialogs PROPERTIES FIXTURES_REQUIRED wine_prefix LABELS win32 TIMEOUT 180
    RESOURCE_LOCK kelvanto_registry)
endif()
# With peers in network namespaces: traffic over a veth pair, mail over STARTTLS.
add_test(NAME win32.peers COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/wine_peers_test.sh ${CMAKE_BINARY_DIR}
  $<TARGET_FILE:kelvanto_win32_tests>)
set_tests_properties(win32.peers PROPERTIES FIXTURES_REQUIRED wine_prefix LABELS win32 TIMEOUT 180
  SKIP_RETURN_CODE 77)
# kelvanto.exe as a user runs it: the logging run and the service, with real traffic.
add_test(NAME win32.program COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/../../app/win32/wine_program_test.sh
  ${CMAKE_BINARY_DIR} $<TARGET_FILE:kelvanto>)
set_tests_properties(win32.program PROPERTIES FIXTURES_REQUIRED wine_prefix LABELS win32 TIMEOUT 240
  SKIP_RETURN_CODE 77 ENVIRONMENT "KELVANTO_VERSION=${PROJECT_VERSION}" RESOURCE_LOCK kelvanto_registry)
# kelvanto.exe's window and tray icon on the run's X server with a window manager and a tray.
add_test(NAME win32.window COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/../../app/win32/wine_window_test.sh
  ${CMAKE_BINARY_DIR} $<TARGET_FILE:kelvanto>)
set_tests_properties(win32.window PROPERTIES FIXTURES_REQUIRED wine_prefix LABELS win32 TIMEOUT 180
  SKIP_RETURN_CODE 77 RESOURCE_LOCK kelvanto_registry)

# The same window as a user works it: /minimized, the frame's double click, a key's note, an
# alert rule's actions fired by traffic, the end of the session.
add_test(NAME win32.window_actions COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/../../app/win32/wine_window_actions_test.sh
  ${CMAKE_BINARY_DIR} $<TARGET_FILE:kelvanto>)
set_tests_properties(win32.window_actions PROPERTIES FIXTURES_REQUIRED wine_prefix LABELS win32 TIMEOUT 180
  SKIP_RETURN_CODE 77 RESOURCE_LOCK kelvanto_registry)

# The GDI frame's cost (a benchmark, not a test): wine_run.sh exec BUILD kelvanto_gdi_bench.exe
add_executable(kelvanto_gdi_bench ${CMAKE_CURRENT_LIST_DIR}/../../../bench/win32/gdi_frame_bench.cpp
  $<TARGET_OBJECTS:kelvanto_resources>)
target_link_libraries(kelvanto_gdi_bench PRIVATE kelvanto_win32)
target_link_options(kelvanto_gdi_bench PRIVATE -Wl,--stack,1048576)

# The installer, silently: for the user and for all users, the program run from there, removed.
if(TARGET kelvanto_setup)
  add_test(NAME win32.installer COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/../../app/win32/wine_installer_test.sh
    ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/kelvanto-${PROJECT_VERSION}-setup.exe ${PROJECT_VERSION})
  set_tests_properties(win32.installer PROPERTIES FIXTURES_REQUIRED wine_prefix LABELS win32 TIMEOUT 180
    SKIP_RETURN_CODE 77 RESOURCE_LOCK kelvanto_registry)
endif()
