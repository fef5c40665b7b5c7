# The main window and the program itself. pscope_res is the program's
# resource script (which includes every window's script and the shared
# string table); the tests of the main window link it as well. The commands'
# file writer is a library of its own for its tests.
add_library(ps_textstream STATIC ${CMAKE_CURRENT_LIST_DIR}/TextStream.cpp)
target_include_directories(ps_textstream PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(ps_textstream PUBLIC ps_core kernel32)

add_library(ps_mainwnd STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ps_main.cpp ${CMAKE_CURRENT_LIST_DIR}/ps_main_commands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ps_main_verify.cpp ${CMAKE_CURRENT_LIST_DIR}/ps_main_compare.cpp)
target_include_directories(ps_mainwnd PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(ps_mainwnd PUBLIC
  ps_details ps_verify ps_compare ps_listsaveas ps_dialogs ps_options ps_listview ps_win32pas ps_useropts ps_textstream
  ps_window ps_common_win ${PS_GUI_SYSTEM_LIBS})

add_library(pscope_res OBJECT ${CMAKE_CURRENT_LIST_DIR}/pscope.rc)
target_include_directories(pscope_res PRIVATE
  ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_CURRENT_LIST_DIR}/compare ${PROJECT_SOURCE_DIR}/common)
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/pscope.rc APPEND PROPERTY OBJECT_DEPENDS
  ${CMAKE_CURRENT_LIST_DIR}/ps_mainres.rc ${CMAKE_CURRENT_LIST_DIR}/ps_dialogs.rc
  ${CMAKE_CURRENT_LIST_DIR}/ps_opts.rc ${CMAKE_CURRENT_LIST_DIR}/ps_opts_res.h
  ${CMAKE_CURRENT_LIST_DIR}/ps_details.rc ${CMAKE_CURRENT_LIST_DIR}/ps_verify.rc
  ${CMAKE_CURRENT_LIST_DIR}/ps_verify_res.h ${CMAKE_CURRENT_LIST_DIR}/res/z_verify.ico
  ${CMAKE_CURRENT_LIST_DIR}/compare/ps_compare.rc ${CMAKE_CURRENT_LIST_DIR}/compare/ps_compare_res.h
  ${PROJECT_SOURCE_DIR}/common/ps_strings.rc)

add_executable(pscope WIN32 ${CMAKE_CURRENT_LIST_DIR}/pscope.cpp $<TARGET_OBJECTS:pscope_res>)
target_link_libraries(pscope PRIVATE ps_mainwnd)
