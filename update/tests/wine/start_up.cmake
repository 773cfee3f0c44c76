# Start-up pieces of the updater on real Windows processes.
norvex_win_console(start_up_probe ${CMAKE_CURRENT_LIST_DIR}/start_up_probe.cpp)
target_link_libraries(start_up_probe PRIVATE update_engine)
norvex_wine_test(wine_update_stop_helper
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/stop_helper_test.sh $<TARGET_FILE:start_up_probe> $<TARGET_FILE:fake_program>)
norvex_wine_test(wine_update_self_replace
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/self_replace_test.sh $<TARGET_FILE:start_up_probe>)
