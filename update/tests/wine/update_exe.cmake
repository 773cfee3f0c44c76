# update.exe end to end, one test per scenario; "real-helper" stops and restarts the real
# VantrelZURaduHelper.exe, of which only one can run in the prefix at a time.
foreach(scenario IN ITEMS success no-shell damaged restore no-close self-update command-line real-helper)
  norvex_wine_test(wine_update_exe_${scenario}
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/update_exe_test.sh ${scenario} $<TARGET_FILE:update>
            ${CMAKE_SOURCE_DIR}/build/native/tools/upgrade-tool $<TARGET_FILE:fake_program>
            $<TARGET_FILE:shell_window> $<TARGET_FILE:dialog_driver> $<TARGET_FILE:helper>
            $<TARGET_FILE:device_driver>)
endforeach()
set_tests_properties(wine_update_exe_real-helper PROPERTIES RESOURCE_LOCK norvex_helper_session)
