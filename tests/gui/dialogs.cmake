# Tests of the window base, the prompt seam, the small dialogs and the
# hyperlink label, on the fixture's virtual display.
add_library(ps_gui_test_support STATIC support/GuiTest.cpp)
target_include_directories(ps_gui_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/support)
target_link_libraries(ps_gui_test_support PUBLIC ps_window GTest::gtest)

ps_add_test(Window_test SOURCES Window_test.cpp Window_test.rc LIBS ps_gui_test_support)
foreach(unit ps_progress ps_query ps_about UrlLabel)
  ps_add_test(${unit}_test SOURCES ${unit}_test.cpp $<TARGET_OBJECTS:ps_dialogs_res>
              LIBS ps_dialogs ps_gui_test_support)
endforeach()

# ps_gui_unmanaged_windows(<test> ...): without a window manager on the
# virtual display, Wine waits two seconds for one whenever a managed window
# is hidden. These test programs' windows are left unmanaged instead (a
# setting of each program alone, in the test prefix), before they start.
function(ps_gui_unmanaged_windows)
  if(NOT PS_WINDOWS OR NOT PS_CAN_RUN_TESTS)
    return()
  endif()
  set(reg "REGEDIT4\n")
  foreach(test ${ARGN})
    string(APPEND reg "\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\${test}.exe\\X11 Driver]\n\"Managed\"=\"N\"\n")
  endforeach()
  set(file "${CMAKE_CURRENT_BINARY_DIR}/unmanaged-windows.reg")
  file(WRITE "${file}" "${reg}")
  string(REPLACE "/" "\\" windowsFile "Z:${file}")
  add_test(NAME dialogs_unmanaged_windows
    COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh reg import "${windowsFile}")
  set_tests_properties(dialogs_unmanaged_windows PROPERTIES
    FIXTURES_REQUIRED wine FIXTURES_SETUP unmanaged_windows
    ENVIRONMENT "${PS_TEST_ENVIRONMENT}")
  foreach(test ${ARGN})
    set_property(TEST ${test} APPEND PROPERTY FIXTURES_REQUIRED unmanaged_windows)
  endforeach()
endfunction()
ps_gui_unmanaged_windows(Window_test ps_progress_test ps_query_test ps_about_test UrlLabel_test)
