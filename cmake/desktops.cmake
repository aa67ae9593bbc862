# Which desktops a Linux library holds; it picks one of them at run time
# (src/platform/desktop_choice.h). TE_DESKTOPS lists them, out of x11,
# wayland (the wlroots family), kde and gnome; the fallback "none" (no display) is always there and may be
# listed. By default: every desktop whose libraries are found. A listed
# desktop whose libraries are missing stops the configuration, naming the
# packages it needs.
include(${CMAKE_CURRENT_LIST_DIR}/x11_desktop.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/wayland_desktop.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/bus_desktops.cmake)
find_package(Threads REQUIRED)

# The desktops there are, in the order the run-time choice prefers them.
set(TE_KNOWN_DESKTOPS kde gnome wayland x11)
set(TE_X11_NEEDS "libx11-dev, libxtst-dev, libxfixes-dev, libxi-dev, libxres-dev, libxkbcommon-dev and \
libxkbcommon-x11-dev")

set(te_found_desktops)
foreach(desktop ${TE_KNOWN_DESKTOPS})
  string(TOUPPER "${desktop}" up)
  if(TE_${up}_DESKTOP_FOUND)
    list(APPEND te_found_desktops ${desktop})
  else()
    message(STATUS "The ${desktop} desktop cannot be built: it needs ${TE_${up}_NEEDS}")
  endif()
endforeach()
# The list found is the default until someone chooses another: a build
# folder configured before a desktop's packages were installed gains that
# desktop at its next configuration, and a choice of one's own is kept.
if(NOT DEFINED TE_DESKTOPS OR (DEFINED TE_DESKTOPS_FOUND_BEFORE AND "${TE_DESKTOPS}" STREQUAL "${TE_DESKTOPS_FOUND_BEFORE}"))
  set(TE_DESKTOPS "${te_found_desktops}" CACHE STRING
    "Desktops of the Linux library, a list out of: x11 wayland kde gnome none (none is always there)" FORCE)
endif()
set(TE_DESKTOPS_FOUND_BEFORE "${te_found_desktops}" CACHE INTERNAL "the desktops found at the last configuration")

foreach(desktop ${TE_DESKTOPS})
  string(TOUPPER "${desktop}" up)
  if(desktop STREQUAL "none")
    continue()
  elseif(NOT desktop IN_LIST TE_KNOWN_DESKTOPS)
    message(FATAL_ERROR "TE_DESKTOPS: no desktop is named \"${desktop}\"; there are x11, wayland, kde, gnome and none")
  elseif(NOT TE_${up}_DESKTOP_FOUND)
    message(FATAL_ERROR "TE_DESKTOPS lists ${desktop}, which needs ${TE_${up}_NEEDS}")
  elseif(desktop MATCHES "^(kde|gnome)$" AND NOT "wayland" IN_LIST TE_DESKTOPS)
    message(FATAL_ERROR "TE_DESKTOPS lists ${desktop}, which is built on the wayland desktop: list wayland too")
  endif()
endforeach()
list(REMOVE_ITEM TE_DESKTOPS none)

# Those of the library, in the order preferred, the fallback last.
set(TE_LIBRARY_DESKTOPS)
foreach(desktop ${TE_KNOWN_DESKTOPS})
  if(desktop IN_LIST TE_DESKTOPS)
    list(APPEND TE_LIBRARY_DESKTOPS ${desktop})
  endif()
endforeach()
list(APPEND TE_LIBRARY_DESKTOPS none)
message(STATUS "Desktops of the library: ${TE_LIBRARY_DESKTOPS}")

if(TE_DESKTOPS)
  pkg_check_modules(TE_XKB REQUIRED IMPORTED_TARGET xkbcommon)
endif()

# te_link_desktops(TARGET DESKTOP...): links the desktops' objects into
# TARGET with what they share (files, threads, the clock, the wake-up
# pipe, the key text of libxkbcommon) and the run-time choice among them,
# which prefers them in the order given; the last is the fallback. The
# portable helpers (te_platform_common) come with the engine or are linked
# by the caller.
function(te_link_desktops target)
  set(objects $<TARGET_OBJECTS:te_platform_posix> $<TARGET_OBJECTS:te_platform_linux>)
  set(libs Threads::Threads te_platform_linux_libs)
  if(ARGN MATCHES "x11|wayland|kde|gnome")
    list(APPEND objects $<TARGET_OBJECTS:te_platform_xkb>)
    list(APPEND libs PkgConfig::TE_XKB)
  endif()
  if(ARGN MATCHES "wayland|kde|gnome")
    list(APPEND libs te_platform_wayland_protocols)
  endif()
  # GNOME and KDE are built on the Wayland desktop's parts and share the
  # session bus and the paste path.
  if(ARGN MATCHES "kde|gnome")
    list(APPEND objects $<TARGET_OBJECTS:te_platform_bus_paste>)
    list(APPEND libs te_platform_bus_paste_libs)
    if(NOT "wayland" IN_LIST ARGN)
      list(APPEND objects $<TARGET_OBJECTS:te_platform_wayland>)
      list(APPEND libs te_platform_wayland_libs)
    endif()
  endif()
  set(entries "")
  foreach(desktop ${ARGN})
    list(APPEND objects $<TARGET_OBJECTS:te_platform_${desktop}>)
    list(APPEND libs te_platform_${desktop}_libs)
    string(APPEND entries "&te_desktop_${desktop}, ")
  endforeach()
  set(list_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_desktops.cpp")
  file(CONFIGURE OUTPUT "${list_file}" CONTENT "\
// Made by te_link_desktops (cmake/desktops.cmake): the desktops of
// ${target}, in the order the run-time choice prefers them.
#include \"desktop_choice.h\"
#include \"desktops.h\"

const te_desktop* const te_desktops_linked[] = {${entries}nullptr};
")
  target_sources(${target} PRIVATE ${objects} "${list_file}")
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src/platform)
  target_link_libraries(${target} PRIVATE ${libs})
endfunction()
