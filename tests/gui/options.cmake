# The settings dialog driven on the fixture's virtual display, against a
# private registry.
ps_add_test(ps_opts_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ps_opts_test.cpp $<TARGET_OBJECTS:ps_opts_res>
  LIBS ps_options ps_gui_test_support ps_test_support)
