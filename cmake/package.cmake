# Installation, the CMake package config and the pkg-config file, so a host
# can find_package(velmora-textexpander) or ask pkg-config.
#
# Two install components, one per Debian package: `runtime` (the default
# component: the shared library, the programs and whatever else is
# installed without naming one) and `dev` (what a host program builds
# with: the header, the unversioned link, the import library, the CMake and
# pkg-config files).
include(CMakePackageConfigHelpers)

install(TARGETS velmora-textexpander EXPORT velmora-textexpander-targets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT dev)
install(EXPORT velmora-textexpander-targets
  NAMESPACE velmora::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/velmora-textexpander
  COMPONENT dev)

configure_package_config_file(cmake/velmora-textexpander-config.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/velmora-textexpander-config.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/velmora-textexpander)
write_basic_package_version_file(
  ${CMAKE_CURRENT_BINARY_DIR}/velmora-textexpander-config-version.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/velmora-textexpander-config.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/velmora-textexpander-config-version.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/velmora-textexpander
  COMPONENT dev)

# The .pc file finds its prefix from where it lies, so an installed tree
# can be moved.
file(RELATIVE_PATH TE_PC_TO_PREFIX "/p/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/p")
configure_file(cmake/velmora-textexpander.pc.in
  ${CMAKE_CURRENT_BINARY_DIR}/velmora-textexpander.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/velmora-textexpander.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT dev)
