# The directory listing cache (also cleared by the settings dialog).
add_library(ps_hotfixcache STATIC ${CMAKE_CURRENT_LIST_DIR}/HotfixCache.cpp)
target_include_directories(ps_hotfixcache PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(ps_hotfixcache PUBLIC ps_common_win ps_core advapi32)
# The details window with the shell's small-icon list.
add_library(ps_details STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ps_details.cpp
  ${CMAKE_CURRENT_LIST_DIR}/components/SystemImageList.cpp)
target_include_directories(ps_details PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(ps_details PUBLIC
  ps_hotfixcache ps_dialogs ps_listview ps_win32pas ps_useropts ps_window ps_common_win
  ${PS_GUI_SYSTEM_LIBS})

# Save As of a list window, shared by the main and the verification window.
add_library(ps_listsaveas STATIC ${CMAKE_CURRENT_LIST_DIR}/ListSaveAs.cpp)
target_include_directories(ps_listsaveas PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(ps_listsaveas PUBLIC
  ps_textstream ps_listview ps_useropts ps_win32pas ps_window ${PS_GUI_SYSTEM_LIBS})

# The verification window.
add_library(ps_verify STATIC ${CMAKE_CURRENT_LIST_DIR}/ps_verify.cpp)
target_include_directories(ps_verify PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(ps_verify PUBLIC
  ps_listsaveas ps_dialogs ps_listview ps_useropts ps_win32pas ps_window ps_common_win
  ${PS_GUI_SYSTEM_LIBS})
