# The report list view in a real window, and the system queries.
ps_add_test(ExtListView_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ExtListView_test.cpp
  LIBS ps_listview ps_gui_test_support ps_test_support advapi32)
ps_add_test(Win32pas_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/Win32pas_test.cpp
  LIBS ps_win32pas)
add_dependencies(Win32pas_test ps_gui_test_data)
