# The settings dialog driven on the fixture's virtual display, against a
# private registry.
ps_add_test(ps_opts_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ps_opts_test.cpp $<TARGET_OBJECTS:ps_opts_res>
  LIBS ps_options ps_gui_test_support ps_test_support)
# The dialog's size once more at another resolution, whose dialog font has
# other base units.
ps_add_script_test(ps_opts_test_other_dpi
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/other-dpi.sh ${CMAKE_BINARY_DIR}
          $<TARGET_FILE:ps_opts_test> --gtest_filter=*Size* --gtest_brief=1)
