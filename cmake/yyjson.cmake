# yyjson of the 0.12 series.
#
# te_yyjson_headers: the header alone, enough to compile the engine.
# yyjson::yyjson:    the library, when the build links (TE_LINK_LIBRARY).
#
# Debian's package ships a CMake config without a version file, so the
# version is read from the header and a small version file is put beside a
# forwarding config in the build tree; find_package then checks it as usual.

function(te_yyjson_version_from_header header out_var)
  file(STRINGS "${header}" _lines REGEX "^#define YYJSON_VERSION_(MAJOR|MINOR|PATCH) ")
  foreach(_part MAJOR MINOR PATCH)
    string(REGEX MATCH "YYJSON_VERSION_${_part} +([0-9]+)" _m "${_lines}")
    set(_${_part} "${CMAKE_MATCH_1}")
  endforeach()
  set(${out_var} "${_MAJOR}.${_MINOR}.${_PATCH}" PARENT_SCOPE)
endfunction()

function(te_yyjson_add_version_shim)
  find_file(_te_yyjson_config yyjson-config.cmake
    PATH_SUFFIXES cmake/yyjson lib/cmake/yyjson lib/${CMAKE_LIBRARY_ARCHITECTURE}/cmake/yyjson
    NO_CACHE)
  if(NOT _te_yyjson_config)
    return()
  endif()
  get_filename_component(_dir "${_te_yyjson_config}" DIRECTORY)
  if(EXISTS "${_dir}/yyjson-config-version.cmake" OR EXISTS "${_dir}/yyjsonConfigVersion.cmake")
    return()
  endif()
  find_file(_te_yyjson_header yyjson.h NO_CACHE)
  if(NOT _te_yyjson_header)
    return()
  endif()
  te_yyjson_version_from_header("${_te_yyjson_header}" _ver)
  set(_shim "${CMAKE_BINARY_DIR}/yyjson-shim")
  file(WRITE "${_shim}/yyjson-config.cmake" "include(\"${_te_yyjson_config}\")\n")
  include(CMakePackageConfigHelpers)
  write_basic_package_version_file("${_shim}/yyjson-config-version.cmake"
    VERSION ${_ver} COMPATIBILITY SameMinorVersion ARCH_INDEPENDENT)
  set(yyjson_DIR "${_shim}" CACHE PATH "yyjson CMake config" FORCE)
endfunction()

add_library(te_yyjson_headers INTERFACE)

if(TE_LINK_LIBRARY)
  if(NOT yyjson_DIR)
    te_yyjson_add_version_shim()
  endif()
  find_package(yyjson 0.12 CONFIG REQUIRED)
  get_target_property(_inc yyjson::yyjson INTERFACE_INCLUDE_DIRECTORIES)
  if(_inc)
    target_include_directories(te_yyjson_headers INTERFACE ${_inc})
  endif()
else()
  # Compile-only: take the header from TE_YYJSON_HEADER, copied on its own
  # so no other host header leaks into a cross build.
  set(TE_YYJSON_HEADER "/usr/include/yyjson.h" CACHE FILEPATH "yyjson.h to compile against")
  if(NOT EXISTS "${TE_YYJSON_HEADER}")
    message(FATAL_ERROR "yyjson.h not found at ${TE_YYJSON_HEADER}")
  endif()
  te_yyjson_version_from_header("${TE_YYJSON_HEADER}" _ver)
  if(NOT _ver MATCHES "^0\\.12\\.")
    message(FATAL_ERROR "yyjson 0.12 needed, ${TE_YYJSON_HEADER} is ${_ver}")
  endif()
  file(COPY "${TE_YYJSON_HEADER}" DESTINATION "${CMAKE_BINARY_DIR}/yyjson-include")
  target_include_directories(te_yyjson_headers INTERFACE "${CMAKE_BINARY_DIR}/yyjson-include")
endif()
