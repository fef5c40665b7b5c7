# Tests of the platform-free units; they run on the host and under Wine.
ps_add_test(SplitLst_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/SplitLst_test.cpp LIBS ps_core)
ps_add_test(MultiString_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/MultiString_test.cpp LIBS ps_core)
ps_add_test(DateTimePatterns_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/DateTimePatterns_test.cpp LIBS ps_core)
ps_add_test(ZStrFuncs_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/ZStrFuncs_test.cpp LIBS ps_core)
ps_add_test(NumText_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/NumText_test.cpp LIBS ps_core)
ps_add_test(HotfixVerify_core_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/HotfixVerify_core_test.cpp LIBS ps_core)
ps_add_test(RegHive_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/RegHive_test.cpp LIBS ps_core ps_test_hive)
ps_add_test(Comparison_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/Comparison_test.cpp
  LIBS ps_core ps_threads)
