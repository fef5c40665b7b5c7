# Tests of the main window: its frame and the loading of the hotfix list,
# each driving the real window (with the program's resources) on the
# fixture's virtual display.
foreach(test ps_main_test ps_main_load_test)
  ps_add_test(${test}
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/${test}.cpp $<TARGET_OBJECTS:pscope_res>
    LIBS ps_mainwnd ps_gui_test_support ps_test_support)
endforeach()

# The built program itself on a copy of the demo computer, read from outside
# its process by the probe.
add_executable(pscope_probe ${CMAKE_CURRENT_LIST_DIR}/ps_main_probe.cpp)
target_link_libraries(pscope_probe PRIVATE comctl32 user32)
ps_add_script_test(ps_main_demo_test
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/ps_main_demo_test.sh ${CMAKE_BINARY_DIR})
