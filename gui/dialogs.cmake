# The window base with the prompt seam, and the small dialogs with the
# hyperlink label. ps_dialogs_res is the dialogs' resource script on its own,
# for the tests; the program's script includes it.
add_library(ps_window STATIC Window.cpp Prompts.cpp)
target_include_directories(ps_window PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(ps_window PUBLIC ${PS_GUI_SYSTEM_LIBS})
