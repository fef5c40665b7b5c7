# Releases: the install rules and the packages that `--target package` makes
# with CPack, named by the project version.
#
# - Windows builds: a ZIP of pscope.exe and pscopecl.exe (stripped) with
#   README.TXT and LICENSE.TXT in CR LF, 8.3 names at the ZIP's root:
#   patchscope-<version>-nt4-x86.zip from the x86 build,
#   patchscope-<version>-x64.zip from the x86-64 one.
# - Linux: patchscope-cl_<version>_<arch>.deb with /usr/bin/pscopecl, its
#   manual page, the copyright file and a changelog; its dependencies are
#   read from the program by dpkg-shlibdeps.
#
# Each package is made in the build directory and copied to PS_RELEASE_DIR
# (build/release: one directory for the packages of every preset), whose
# SHA256SUMS lists every package of this version there.
include(GNUInstallDirs)

set(PS_RELEASE_DIR "${PROJECT_SOURCE_DIR}/build/release" CACHE PATH
    "Where the package target puts the packages and their SHA256SUMS")
set(PS_MAINTAINER "Brightwater <patchscope@example.com>")
set(PS_HOMEPAGE "http://www.example.com/patchscope/")
set(PS_SUMMARY "hotfixes of Windows NT 4.0 systems: list, verify, compare")

set(ps_release_sources ${PROJECT_SOURCE_DIR}/release)
set(ps_staged ${PROJECT_BINARY_DIR}/release)
# Directories made by the install step get these whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(PS_WINDOWS)
  # Notepad on NT 4.0 shows a text with bare line feeds as one line.
  configure_file(${ps_release_sources}/README.TXT.in ${ps_staged}/README.TXT @ONLY NEWLINE_STYLE CRLF)
  configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${ps_staged}/LICENSE.TXT @ONLY NEWLINE_STYLE CRLF)
  install(TARGETS pscope pscopecl RUNTIME DESTINATION .)
  install(FILES ${ps_staged}/README.TXT ${ps_staged}/LICENSE.TXT DESTINATION .)

  set(CPACK_GENERATOR ZIP)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    set(CPACK_PACKAGE_FILE_NAME "patchscope-${PROJECT_VERSION}-nt4-x86")
  else()
    set(CPACK_PACKAGE_FILE_NAME "patchscope-${PROJECT_VERSION}-x64")
  endif()
else()
  set(ps_deb_name patchscope-cl)
  set(ps_docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/${ps_deb_name})

  # The manual page and the changelog compressed as Debian keeps them.
  configure_file(${ps_release_sources}/pscopecl.1.in ${ps_staged}/pscopecl.1 @ONLY)
  string(TIMESTAMP ps_release_time "%a, %d %b %Y %H:%M:%S +0000" UTC)
  file(CONFIGURE OUTPUT ${ps_staged}/changelog @ONLY CONTENT
"${ps_deb_name} (@PROJECT_VERSION@) stable; urgency=medium

  * Patchscope @PROJECT_VERSION@: the native pscopecl. The changes of every
    release are listed in CHANGELOG.md of the source.

 -- @PS_MAINTAINER@  @ps_release_time@
")
  find_program(PS_GZIP gzip REQUIRED)
  add_custom_command(
    OUTPUT ${ps_staged}/pscopecl.1.gz ${ps_staged}/changelog.gz
    COMMAND ${PS_GZIP} -9nkf pscopecl.1 changelog
    DEPENDS ${ps_staged}/pscopecl.1 ${ps_staged}/changelog
    WORKING_DIRECTORY ${ps_staged} VERBATIM)
  add_custom_target(ps_release_texts ALL DEPENDS ${ps_staged}/pscopecl.1.gz ${ps_staged}/changelog.gz)

  # The copyright file in Debian's machine-readable form, the license text
  # taken from LICENSE (a blank line becomes " .").
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE ps_license)
  string(FIND "${ps_license}" "Permission" ps_license_start)
  string(SUBSTRING "${ps_license}" ${ps_license_start} -1 ps_license)
  string(STRIP "${ps_license}" ps_license)
  string(REPLACE "\n\n" "\n.\n" ps_license "${ps_license}")
  string(REPLACE "\n" "\n " ps_license "${ps_license}")
  string(REPLACE "Copyright (c) " "" ps_copyright "${PS_COPYRIGHT}")
  file(CONFIGURE OUTPUT ${ps_staged}/copyright @ONLY CONTENT
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Patchscope
Upstream-Contact: @PS_MAINTAINER@
Source: @PS_HOMEPAGE@

Files: *
Copyright: @ps_copyright@
License: Expat
 @ps_license@
")

  install(TARGETS pscopecl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${ps_staged}/pscopecl.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${ps_staged}/copyright ${ps_staged}/changelog.gz DESTINATION ${ps_docdir})

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_PACKAGE_NAME ${ps_deb_name})
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${PS_MAINTAINER})
  set(CPACK_DEBIAN_PACKAGE_SECTION admin)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PS_HOMEPAGE})
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "pscopecl shows which hotfixes are installed on a Windows NT 4.0 system
that is not running: a Windows directory of a mounted disk, or a disk
image (raw, E01, VMDK, VHD) read directly without mounting it. It
verifies whether each hotfix is still in effect and compares the
hotfixes of many systems in one table. Nothing on the disk or image is
written.")
endif()

# A sanitizer build installs (for trying it) but is never packaged.
if(PS_SANITIZE)
  return()
endif()

set(CPACK_PACKAGE_NAME patchscope)
set(CPACK_PACKAGE_VENDOR Brightwater)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PS_SUMMARY})
set(CPACK_PACKAGE_CONTACT ${PS_MAINTAINER})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

# After each package run the new packages are copied from CPack's staging
# into PS_RELEASE_DIR, and its SHA256SUMS (in sha256sum's own form, so that
# `sha256sum -c SHA256SUMS` checks them where they lie) is written anew over
# every package of this version there.
file(CONFIGURE OUTPUT ${ps_staged}/release.cmake @ONLY CONTENT [[
set(release "@PS_RELEASE_DIR@")
file(MAKE_DIRECTORY "${release}")
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  file(COPY "${package}" DESTINATION "${release}")
endforeach()
file(GLOB packages RELATIVE "${release}"
     "${release}/patchscope-@PROJECT_VERSION@-*.zip" "${release}/patchscope-cl_@PROJECT_VERSION@_*.deb")
list(SORT packages)
set(sums "")
foreach(package IN LISTS packages)
  file(SHA256 "${release}/${package}" sum)
  string(APPEND sums "${sum}  ${package}\n")
endforeach()
file(WRITE "${release}/SHA256SUMS" "${sums}")
message(STATUS "Release packages and SHA256SUMS in ${release}: ${packages}")
]])
set(CPACK_POST_BUILD_SCRIPTS ${ps_staged}/release.cmake)

include(CPack)
