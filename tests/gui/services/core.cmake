# Tests of the windowed program's platform-free units; they run on the host
# (sanitizers) and under Wine.
ps_add_test(ExportLayout_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/ExportLayout_test.cpp LIBS ps_core)
ps_add_test(CommandFormat_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/CommandFormat_test.cpp LIBS ps_core)
foreach(unit CacheRecords SizeText)
  ps_add_test(${unit}_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/${unit}_test.cpp LIBS ps_core)
endforeach()

# The CSV and HTML layouts read back by parsers that are not ours (Python's
# csv and html.parser); on the host, where python3 runs beside the tool.
if(NOT PS_WINDOWS)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  add_executable(ExportLayout_tool ${CMAKE_CURRENT_LIST_DIR}/ExportLayout_tool.cpp)
  target_link_libraries(ExportLayout_tool PRIVATE ps_core)
  add_test(NAME ExportLayout_readers
    COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/ExportLayout_readers.py
            $<TARGET_FILE:ExportLayout_tool> ${CMAKE_CURRENT_BINARY_DIR}/ExportLayout_readers)
  set_tests_properties(ExportLayout_readers PROPERTIES TIMEOUT 60)
endif()
