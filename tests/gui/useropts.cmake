ps_add_test(UserOpts_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/UserOpts_test.cpp
  LIBS ps_useropts ps_test_support)
