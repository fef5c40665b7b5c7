# The directory listing cache in a private registry, and the details window
# driven on the fixture's virtual display with the program's resources.
ps_add_test(HotfixCache_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/HotfixCache_test.cpp
  LIBS ps_hotfixcache ps_test_support)
ps_add_test(ps_details_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ps_details_test.cpp $<TARGET_OBJECTS:pscope_res>
  LIBS ps_mainwnd ps_gui_test_support ps_test_support)
add_dependencies(ps_details_test ps_gui_test_data)
ps_add_test(ps_verify_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ps_verify_test.cpp $<TARGET_OBJECTS:pscope_res>
  LIBS ps_mainwnd ps_gui_test_support ps_test_support)
