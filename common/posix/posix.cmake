# The POSIX layer of the shared library: the files of an offline Windows
# directory on a Linux file system.
add_library(ps_common_posix STATIC ${CMAKE_CURRENT_LIST_DIR}/PosixFileSource.cpp)
target_include_directories(ps_common_posix PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(ps_common_posix PUBLIC ps_core)

# The program's two lists (the pre-SP4 hotfixes, the default search path),
# taken from the string table that the Windows programs carry, so that both
# platforms read one text.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../ps_strings.rc PS_STRING_LINES REGEX "^  [12], \"")
set(PS_PROGRAM_LISTS "#pragma once\n// Made by the build from common/ps_strings.rc.\n")
foreach(line IN LISTS PS_STRING_LINES)
  string(REGEX REPLACE "^  ([12]), (\".*\")$" "\\1;\\2" parts "${line}")
  list(GET parts 0 id)
  list(GET parts 1 text)
  if(id STREQUAL "1")
    string(APPEND PS_PROGRAM_LISTS "inline constexpr const char* kPreSP4Hotfixes = ${text};\n")
  else()
    string(APPEND PS_PROGRAM_LISTS "inline constexpr const char* kDefaultHotfixSearchPath = ${text};\n")
  endif()
endforeach()
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/ProgramLists.h CONTENT "${PS_PROGRAM_LISTS}" @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/../ps_strings.rc)
target_include_directories(ps_common_posix PUBLIC ${CMAKE_BINARY_DIR}/generated)

# Disk images (/IMAGE:) are read through The Sleuth Kit's library, found by
# pkg-config; without it the program is built without them.
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_check_modules(TSK QUIET IMPORTED_TARGET GLOBAL tsk)
endif()
if(TSK_FOUND)
  message(STATUS "Disk images (/IMAGE:): read through libtsk ${TSK_VERSION}")
  add_library(ps_image_posix STATIC ${CMAKE_CURRENT_LIST_DIR}/ImageFileSource.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ImageTarget.cpp)
  target_link_libraries(ps_image_posix PUBLIC ps_common_posix PkgConfig::TSK)
  target_compile_definitions(ps_image_posix PUBLIC PS_DISK_IMAGES)
else()
  message(WARNING "libtsk (pkg-config tsk; Debian: libtsk-dev) not found: pscopecl is built "
    "without disk images (/IMAGE:)")
endif()
