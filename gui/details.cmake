# The directory listing cache (also cleared by the settings dialog).
add_library(ps_hotfixcache STATIC ${CMAKE_CURRENT_LIST_DIR}/HotfixCache.cpp)
target_include_directories(ps_hotfixcache PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(ps_hotfixcache PUBLIC ps_common_win ps_core advapi32)
