# The version of both programs comes from the project version (the one line a
# release changes) through the generated header PsVersion.h, which the version
# resources, the about box and the console's help line include; targets that
# use it link ps_version.
#
# The console program of release 1.1.3 carries the file version of its own
# last build, 1.1.2.8, in its version resource; every other release gives
# both programs the product version with a fourth part 0.
if(PROJECT_VERSION VERSION_EQUAL 1.1.3)
  set(PS_CONSOLE_FILE_VERSION 1.1.2.8)
else()
  set(PS_CONSOLE_FILE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
endif()
set(PS_COPYRIGHT "Copyright (c) 1999-2026 Brightwater")

set(PS_VERSION_NUMBERS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
string(REPLACE "." "," PS_CONSOLE_FILE_VERSION_NUMBERS "${PS_CONSOLE_FILE_VERSION}")
# The resource compiler's inputs have no tracked includes: resource scripts
# that include the header name PS_VERSION_HEADER in their OBJECT_DEPENDS.
set(PS_VERSION_HEADER ${PROJECT_BINARY_DIR}/version/PsVersion.h)
configure_file(${CMAKE_CURRENT_LIST_DIR}/PsVersion.h.in ${PS_VERSION_HEADER} @ONLY)

add_library(ps_version INTERFACE)
target_include_directories(ps_version INTERFACE ${PROJECT_BINARY_DIR}/version)
