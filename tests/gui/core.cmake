# Tests of the windowed program's platform-free units; they run on the host
# (sanitizers) and under Wine.
ps_add_test(ExportLayout_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/ExportLayout_test.cpp LIBS ps_core)
ps_add_test(CommandFormat_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/CommandFormat_test.cpp LIBS ps_core)
foreach(unit CacheRecords SizeText)
  ps_add_test(${unit}_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/${unit}_test.cpp LIBS ps_core)
endforeach()
