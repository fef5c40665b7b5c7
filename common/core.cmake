# Platform-free units of the shared library: built for the host (tests,
# sanitizers, fuzzers) as for Windows. No Windows headers or libraries here.
add_library(ps_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ZStrFuncs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SplitLst.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NumText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MultiString.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DateTimePatterns.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TargetAccess.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RegistrySource.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HotfixReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RegHive.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TimeZoneRule.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InfFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PeVersion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HotfixVerify.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HotfixRecords.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HiveSource.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OfflineSystem.cpp)
target_include_directories(ps_core PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_sources(ps_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/TargetList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Comparison.cpp)
