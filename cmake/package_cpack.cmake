# The packages CPack makes of the install rules (scripts/package.sh runs it
# and checks what it made):
# - Linux: two Debian packages, one per install component (package.cmake):
#   velmora-textexpander (runtime: the programs, the library and what the
#   desktop shows) and libvelmora-textexpander-dev (dev: what a host program
#   builds with, depending on the first at the same version). Their
#   dependencies are computed from the binaries by dpkg-shlibdeps; the
#   library gets a shlibs file and the ldconfig call.
# - Windows: one zip for host developers: the DLL, its import library, the
#   header, the CMake and pkg-config files, a README.

set(CPACK_PACKAGE_NAME velmora-textexpander)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the velmora-textexpander developers")
set(CPACK_PACKAGE_CONTACT "velmora-dev <dev@velmora.invalid>")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
# Folders the packages create are rwxr-xr-x whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME velmora-textexpander-${PROJECT_VERSION}-win64)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL runtime dev)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

  set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME velmora-textexpander)
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION utils)
  # The window's Wayland platform plugin is loaded at run time, where the
  # computed dependencies cannot see it; without it the window runs under
  # Xwayland.
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS qt6-wayland)
  # ldconfig runs through dpkg's trigger, as Debian's library packages do.
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/triggers)
  file(READ ${PROJECT_SOURCE_DIR}/packaging/velmora-textexpander.description CPACK_DEBIAN_RUNTIME_DESCRIPTION)
  set(CPACK_DEBIAN_DEV_PACKAGE_NAME libvelmora-textexpander-dev)
  set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
  file(READ ${PROJECT_SOURCE_DIR}/packaging/libvelmora-textexpander-dev.description CPACK_DEBIAN_DEV_DESCRIPTION)
endif()

include(CPack)
cpack_add_component(runtime DISPLAY_NAME "Programs and library")
cpack_add_component(dev DISPLAY_NAME "Files for host programs" DEPENDS runtime)
