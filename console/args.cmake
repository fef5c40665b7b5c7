# The platform-free parts of pscopecl: its command line and its run, built
# for every platform's program and on the host for the tests.
add_library(ps_console_args STATIC ${CMAKE_CURRENT_LIST_DIR}/ConsoleArgs.cpp)
target_include_directories(ps_console_args PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(ps_console_args PRIVATE ps_version)

add_library(ps_console_run STATIC ${CMAKE_CURRENT_LIST_DIR}/ConsoleRun.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OfflineListing.cpp)
target_link_libraries(ps_console_run PUBLIC ps_console_args ps_core)
