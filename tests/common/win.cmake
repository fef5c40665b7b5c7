# Tests of the Win32 layer of the shared library, under Wine on private
# registries. Programs that read the string table carry it themselves.
ps_add_test(RegistryEx_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/RegistryEx_test.cpp
  LIBS ps_common_win ps_test_support)
ps_add_test(HotfixReader_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/HotfixReader_test.cpp
  ${PS_STRINGS_RC} LIBS ps_common_win ps_test_support)
ps_add_test(ps_common_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/ps_common_test.cpp
  LIBS ps_common_win ps_test_support)
