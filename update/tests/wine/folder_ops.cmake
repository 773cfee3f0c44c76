# The folder operations under Wine: a probe that runs them on given paths, a program that holds a
# file open as another application would, and the script that plays one against the other.
norvex_win_console(folder_ops_probe ${CMAKE_CURRENT_LIST_DIR}/folder_ops_probe.cpp)
target_link_libraries(folder_ops_probe PRIVATE update_engine)
norvex_win_console(file_holder ${CMAKE_CURRENT_LIST_DIR}/file_holder.cpp)
target_link_libraries(file_holder PRIVATE norvex_common)
norvex_wine_test(wine_folder_ops_sharing
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/folder_ops_test.sh $<TARGET_FILE:folder_ops_probe> $<TARGET_FILE:file_holder>)
