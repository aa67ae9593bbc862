# yyjson of the 0.12 series, as the target yyjson::yyjson.
#
# - TE_YYJSON_ARCHIVE set (the Windows cross build, which has no yyjson to
#   find): the yyjson release archive is checked against TE_YYJSON_SHA256,
#   unpacked into the build folder and compiled there, with the build's own
#   compiler, as a static library that the DLL links in.
# - Otherwise an installed yyjson is found (Debian's libyyjson-dev, vcpkg).
#   Debian's package ships a CMake config without a version file, so the
#   version is read from the header and a small version file is put beside
#   a forwarding config in the build tree; find_package then checks it as
#   usual.

set(TE_YYJSON_ARCHIVE "" CACHE FILEPATH "yyjson release archive to build from (empty: find an installed yyjson)")
set(TE_YYJSON_SHA256 "dfa8fffec50f0749dd18a7df32b0fdc75f4ba61493baf24f098289d0218344e1"
  CACHE STRING "SHA-256 the yyjson archive must have")

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

# Unpacks the checked archive into build/yyjson (again only when the
# archive changed) and builds the static library from its one source file.
function(te_yyjson_from_archive archive)
  if(NOT EXISTS "${archive}")
    message(FATAL_ERROR "yyjson archive not found: ${archive}")
  endif()
  file(SHA256 "${archive}" _sum)
  if(NOT _sum STREQUAL TE_YYJSON_SHA256)
    message(FATAL_ERROR "yyjson archive ${archive} has SHA-256 ${_sum}, expected ${TE_YYJSON_SHA256}")
  endif()
  set(_dir "${CMAKE_BINARY_DIR}/yyjson")
  set(_stamp "${_dir}/unpacked.sha256")
  if(EXISTS "${_stamp}")
    file(READ "${_stamp}" _unpacked)
  endif()
  if(NOT "${_unpacked}" STREQUAL "${_sum}")
    file(REMOVE_RECURSE "${_dir}/source")
    file(ARCHIVE_EXTRACT INPUT "${archive}" DESTINATION "${_dir}/source")
    file(WRITE "${_stamp}" "${_sum}")
  endif()
  file(GLOB _top LIST_DIRECTORIES true "${_dir}/source/yyjson-*")
  set(_src "${_top}/src")
  if(NOT EXISTS "${_src}/yyjson.c" OR NOT EXISTS "${_src}/yyjson.h")
    message(FATAL_ERROR "${archive} holds no yyjson-*/src/yyjson.c and yyjson.h")
  endif()
  te_yyjson_version_from_header("${_src}/yyjson.h" _ver)
  if(NOT _ver MATCHES "^0\\.12\\.")
    message(FATAL_ERROR "yyjson 0.12 needed, ${archive} holds ${_ver}")
  endif()
  add_library(te_yyjson STATIC "${_src}/yyjson.c")
  target_include_directories(te_yyjson SYSTEM PUBLIC "${_src}")
  set_target_properties(te_yyjson PROPERTIES
    ARCHIVE_OUTPUT_DIRECTORY "${_dir}" OUTPUT_NAME yyjson C_STANDARD 99)
  add_library(yyjson::yyjson ALIAS te_yyjson)
  message(STATUS "yyjson ${_ver}: built from ${archive}")
endfunction()

if(TE_YYJSON_ARCHIVE)
  te_yyjson_from_archive("${TE_YYJSON_ARCHIVE}")
else()
  if(NOT yyjson_DIR)
    te_yyjson_add_version_shim()
  endif()
  find_package(yyjson 0.12 CONFIG REQUIRED)
endif()
