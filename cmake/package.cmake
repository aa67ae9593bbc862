# Installation, the CMake package config and the pkg-config file, so a host
# can find_package(velmora-textexpander) or ask pkg-config.
include(CMakePackageConfigHelpers)

install(TARGETS velmora-textexpander EXPORT velmora-textexpander-targets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT velmora-textexpander-targets
  NAMESPACE velmora::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/velmora-textexpander)

configure_package_config_file(cmake/velmora-textexpander-config.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/velmora-textexpander-config.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/velmora-textexpander)
write_basic_package_version_file(
  ${CMAKE_CURRENT_BINARY_DIR}/velmora-textexpander-config-version.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/velmora-textexpander-config.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/velmora-textexpander-config-version.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/velmora-textexpander)

# The .pc file finds its prefix from where it lies, so an installed tree
# can be moved.
file(RELATIVE_PATH TE_PC_TO_PREFIX "/p/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/p")
configure_file(cmake/velmora-textexpander.pc.in
  ${CMAKE_CURRENT_BINARY_DIR}/velmora-textexpander.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/velmora-textexpander.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
