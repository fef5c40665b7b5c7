# The Win32 layer of the shared library: registry access, the locale, the
# uninstall directories and the hotfix reading of a live computer. The string table
# (ps_strings.rc) is not part of it: each program includes it in its own
# resource script, since a static library cannot carry resources.
add_library(ps_common_win STATIC
  ${CMAKE_CURRENT_LIST_DIR}/RegistryEx.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LocaleInfo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ps_common.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HotfixReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ResString.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LiveTarget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TargetAccessWin.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextFileWin.cpp)
target_include_directories(ps_common_win PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(ps_common_win PUBLIC ps_core advapi32 kernel32 user32)
set(PS_STRINGS_RC ${CMAKE_CURRENT_LIST_DIR}/ps_strings.rc CACHE INTERNAL
    "String table that every program and test of the hotfix reading includes")

# The worker pool of the comparison, over NT 4.0's own thread functions.
add_library(ps_threads STATIC ${CMAKE_CURRENT_LIST_DIR}/WorkerPool.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WorkerThreadsWin.cpp)
target_include_directories(ps_threads PUBLIC ${CMAKE_CURRENT_LIST_DIR})
