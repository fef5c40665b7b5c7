# The platform-free command line of pscopecl: part of the program, and built
# on the host too for its tests.
add_library(ps_console_args STATIC ${CMAKE_CURRENT_LIST_DIR}/ConsoleArgs.cpp)
target_include_directories(ps_console_args PUBLIC ${CMAKE_CURRENT_LIST_DIR})
