# Platform-free units of the windowed program (formatters, layouts, record
# encodings): they join the shared core, so that they build natively for the
# host tests, sanitizers and fuzzers like the rest of it. No Windows headers.
target_sources(ps_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ExportLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandFormat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CacheRecords.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SizeText.cpp
)
target_include_directories(ps_core PUBLIC ${CMAKE_CURRENT_LIST_DIR})
