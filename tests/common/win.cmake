# Tests of the Win32 layer of the shared library, under Wine on private
# registries. Programs that read the string table carry it themselves.
ps_add_test(RegistryEx_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/RegistryEx_test.cpp
  LIBS ps_common_win ps_test_support)
ps_add_test(HotfixReader_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/HotfixReader_test.cpp
  ${PS_STRINGS_RC} LIBS ps_common_win ps_test_support)
ps_add_test(ps_common_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/ps_common_test.cpp
  LIBS ps_common_win ps_test_support)
# The locale test once more, as a user whose locale differs from the
# prefix's in every field that the programs read.
ps_add_script_test(ps_common_test_other_locale
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/other-locale.sh ${CMAKE_BINARY_DIR}
          $<TARGET_FILE:ps_common_test> --gtest_filter=Locale.* --gtest_brief=1)
if(PS_CAN_RUN_TESTS)
  set_tests_properties(ps_common_test_other_locale PROPERTIES
    FAIL_REGULAR_EXPRESSION " 0 tests from 0 test suites ran")
endif()
ps_add_test(HotfixVerify_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/HotfixVerify_test.cpp
  LIBS ps_common_win ps_test_support version)
