# Test helpers shared by every test directory.
#
# Windows test programs run under Wine through CMAKE_CROSSCOMPILING_EMULATOR
# (cmake/wine-run.sh), in a prefix of their own inside the build tree. The
# fixture "wine" boots that prefix once with a persistent wineserver and a
# virtual display, and stops both after the last test.

set(PS_WINE_PREFIX "${CMAKE_BINARY_DIR}/wineprefix")
set(PS_DISPLAY_FILE "${CMAKE_BINARY_DIR}/wineprefix.display")
# The x86 programs run in a 32-bit prefix, a system like NT 4.0: no 64-bit
# registry view beside theirs, no redirected system32. Every prefix of a
# build (the fixture's, the demo computers', another locale's) is of the
# build's architecture.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(PS_WINE_ARCH win32)
else()
  set(PS_WINE_ARCH win64)
endif()
set(PS_TEST_ENVIRONMENT
  "WINEPREFIX=${PS_WINE_PREFIX}"
  "WINEARCH=${PS_WINE_ARCH}"
  "WINEDEBUG=-all"
  "PS_DISPLAY_FILE=${PS_DISPLAY_FILE}"
  "PS_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
  "PS_BINARY_DIR=${CMAKE_BINARY_DIR}")

# Tests of every build run here: host builds natively, the x86-64 and the x86
# Windows builds under Wine.
set(PS_CAN_RUN_TESTS ON)

function(ps_add_wine_fixture)
  if(NOT PS_WINDOWS OR NOT PS_CAN_RUN_TESTS)
    return()
  endif()
  add_test(NAME wine_start
    COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-fixture.sh start "${PS_WINE_PREFIX}" "${PS_DISPLAY_FILE}")
  add_test(NAME wine_stop
    COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-fixture.sh stop "${PS_WINE_PREFIX}" "${PS_DISPLAY_FILE}")
  set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine ENVIRONMENT "WINEARCH=${PS_WINE_ARCH}")
  set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine ENVIRONMENT "WINEARCH=${PS_WINE_ARCH}")
endfunction()

# ps_add_test(<name> SOURCES ... [LIBS ...])
# One test program per unit; GoogleTest's main. Under Wine every program gets
# the fixture's prefix and display.
function(ps_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  if(NOT PS_CAN_RUN_TESTS)
    return()
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  # A program whose tests all went missing would pass having run none.
  set_tests_properties(${name} PROPERTIES TIMEOUT 240
    FAIL_REGULAR_EXPRESSION " 0 tests from 0 test suites ran")
  if(PS_WINDOWS)
    set_tests_properties(${name} PROPERTIES
      FIXTURES_REQUIRED wine
      ENVIRONMENT "${PS_TEST_ENVIRONMENT}")
  endif()
endfunction()

# ps_add_script_test(<name> COMMAND ...): a shell-level test (whole programs,
# demo computer) that needs the Wine fixture's environment.
function(ps_add_script_test name)
  cmake_parse_arguments(T "" "" "COMMAND" ${ARGN})
  if(NOT PS_CAN_RUN_TESTS)
    return()
  endif()
  add_test(NAME ${name} COMMAND ${T_COMMAND})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  if(PS_WINDOWS)
    set_tests_properties(${name} PROPERTIES
      FIXTURES_REQUIRED wine
      ENVIRONMENT "${PS_TEST_ENVIRONMENT}")
  endif()
endfunction()
