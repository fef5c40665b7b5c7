# Tests of the window base, the prompt seam, the small dialogs and the
# hyperlink label, on the fixture's virtual display.
add_library(ps_gui_test_support STATIC support/GuiTest.cpp)
target_include_directories(ps_gui_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/support)
target_link_libraries(ps_gui_test_support PUBLIC ps_window GTest::gtest)

ps_add_test(Window_test SOURCES Window_test.cpp Window_test.rc LIBS ps_gui_test_support)
foreach(unit ps_progress ps_query ps_about UrlLabel)
  ps_add_test(${unit}_test SOURCES ${unit}_test.cpp $<TARGET_OBJECTS:ps_dialogs_res>
              LIBS ps_dialogs ps_gui_test_support ps_version)
endforeach()
