# Tests of the windowed program's platform-free units; they run on the host
# (sanitizers) and under Wine.
foreach(unit CacheRecords SizeText)
  ps_add_test(${unit}_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/${unit}_test.cpp LIBS ps_core)
endforeach()
