# The window base with the prompt seam (and the network browse dialog behind
# it), and the small dialogs with the hyperlink label. ps_dialogs_res is the
# dialogs' resource script on its own, for the tests; the program's script
# includes it.
add_library(ps_window STATIC Window.cpp Prompts.cpp FormHelpers.cpp components/BrowseDr.cpp)
target_include_directories(ps_window PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(ps_window PUBLIC ps_common_win ${PS_GUI_SYSTEM_LIBS})

add_library(ps_dialogs STATIC
  ps_progress.cpp ps_query.cpp ps_about.cpp components/UrlLabel.cpp components/RadioGroup.cpp)
target_include_directories(ps_dialogs PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(ps_dialogs PUBLIC ps_window)

add_library(ps_dialogs_res OBJECT ps_dialogs.rc)
target_include_directories(ps_dialogs_res PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(ps_dialogs_res PRIVATE ps_version)
set_property(SOURCE ps_dialogs.rc APPEND PROPERTY OBJECT_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/ps_dialogs_res.h ${CMAKE_CURRENT_SOURCE_DIR}/res/pscope.ico
  ${PS_VERSION_HEADER})
