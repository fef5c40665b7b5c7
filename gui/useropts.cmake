# User settings of the windowed program.
add_library(ps_useropts STATIC ${CMAKE_CURRENT_LIST_DIR}/UserOpts.cpp)
target_include_directories(ps_useropts PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(ps_useropts PUBLIC ps_common_win)
