# Tests of the main window: its frame, the loading of the hotfix list and the
# commands, each driving the real window (with the program's resources) on the
# fixture's virtual display; and the commands' file writer.
foreach(test ps_main_test ps_main_load_test ps_main_commands_test)
  ps_add_test(${test}
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/${test}.cpp $<TARGET_OBJECTS:pscope_res>
    LIBS ps_mainwnd ps_gui_test_support ps_test_support)
endforeach()
ps_add_test(ps_main_offline_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ps_main_offline_test.cpp $<TARGET_OBJECTS:pscope_res>
  LIBS ps_mainwnd ps_gui_test_support ps_test_offline)

ps_add_test(TextStream_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/TextStream_test.cpp
            LIBS ps_textstream ps_test_support)

# Save As onto a disk that fills up: a file system of 16 KiB mounted for the
# commands test when the tests run as root (the test skips otherwise).
if(PS_WINDOWS AND PS_CAN_RUN_TESTS)
  set(ps_small_disk "${CMAKE_BINARY_DIR}/small-disk")
  add_test(NAME small_disk_mount
    COMMAND ${PROJECT_SOURCE_DIR}/cmake/small-disk.sh mount "${ps_small_disk}")
  add_test(NAME small_disk_unmount
    COMMAND ${PROJECT_SOURCE_DIR}/cmake/small-disk.sh unmount "${ps_small_disk}")
  set_tests_properties(small_disk_mount PROPERTIES FIXTURES_SETUP small_disk)
  set_tests_properties(small_disk_unmount PROPERTIES FIXTURES_CLEANUP small_disk)
  set_property(TEST ps_main_commands_test APPEND PROPERTY FIXTURES_REQUIRED small_disk)
  set_property(TEST ps_main_commands_test APPEND PROPERTY ENVIRONMENT
    "PS_SMALL_DISK=${ps_small_disk}")
endif()

# The built program itself on a copy of the demo computer, read from outside
# its process by the probe.
add_executable(pscope_probe ${CMAKE_CURRENT_LIST_DIR}/ps_main_probe.cpp)
target_link_libraries(pscope_probe PRIVATE comctl32 user32)
ps_add_script_test(ps_main_demo_test
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/ps_main_demo_test.sh ${CMAKE_BINARY_DIR})

# The list saved as CSV and HTML after sorting and dragging a column, read back
# by Python's csv and html.parser: the program saves, the script reads.
add_executable(ps_main_export_test ${CMAKE_CURRENT_LIST_DIR}/ps_main_export_test.cpp
               $<TARGET_OBJECTS:pscope_res>)
target_link_libraries(ps_main_export_test PRIVATE ps_mainwnd ps_gui_test_support
                      ps_test_support GTest::gtest GTest::gtest_main)
ps_add_script_test(ps_main_export_test_readers
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/ps_main_export_test.sh ${CMAKE_BINARY_DIR})
