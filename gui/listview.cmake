# The report list view of both list windows, and the small system queries.
add_library(ps_win32pas STATIC ${CMAKE_CURRENT_LIST_DIR}/Win32pas.cpp)
target_include_directories(ps_win32pas PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(ps_win32pas PUBLIC ps_core version kernel32)

add_library(ps_listview STATIC
  ${CMAKE_CURRENT_LIST_DIR}/components/EnhListView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/components/ExtListView.cpp)
target_include_directories(ps_listview PUBLIC
  ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_CURRENT_LIST_DIR}/components)
target_link_libraries(ps_listview PUBLIC ps_window ps_common_win comctl32 gdi32 user32)
