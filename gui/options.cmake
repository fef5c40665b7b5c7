# The settings dialog. ps_opts_res is its resource script on its own, for the
# tests; the program's script includes it.
add_library(ps_options STATIC ${CMAKE_CURRENT_LIST_DIR}/ps_opts.cpp)
target_include_directories(ps_options PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(ps_options PUBLIC ps_dialogs ps_hotfixcache ps_useropts ps_core)

add_library(ps_opts_res OBJECT ${CMAKE_CURRENT_LIST_DIR}/ps_opts.rc)
target_include_directories(ps_opts_res PRIVATE ${CMAKE_CURRENT_LIST_DIR})
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/ps_opts.rc APPEND PROPERTY OBJECT_DEPENDS
  ${CMAKE_CURRENT_LIST_DIR}/ps_opts_res.h ${CMAKE_CURRENT_LIST_DIR}/ps_dialogs_res.h)
