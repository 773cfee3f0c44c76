# update.exe end to end, one test per scenario.
foreach(scenario IN ITEMS success no-shell damaged restore no-close self-update command-line)
  norvex_wine_test(wine_update_exe_${scenario}
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/update_exe_test.sh ${scenario} $<TARGET_FILE:update>
            ${CMAKE_SOURCE_DIR}/build/native/tools/upgrade-tool $<TARGET_FILE:fake_program>
            $<TARGET_FILE:shell_window> $<TARGET_FILE:dialog_driver>)
endforeach()
