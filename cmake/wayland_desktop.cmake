# What the Wayland desktop needs: libwayland-client and wayland-scanner (the
# protocol code is generated at build time), libxkbcommon (keymaps), libevdev
# (the keyboards under /dev/input), and the descriptions of the wlroots
# family's protocols, which no Debian 12 package ships: virtual keyboard,
# data control, foreign toplevel management. Their folder is an option.
# TE_WAYLAND_DESKTOP_FOUND is set when every part is there.
set(TE_WAYLAND_PROTOCOLS_DIR "${CMAKE_SOURCE_DIR}/../shared/third_party/wayland-protocols"
  CACHE PATH "Folder holding virtual-keyboard-unstable-v1.xml, wlr-data-control-unstable-v1.xml and wlr-foreign-toplevel-management-unstable-v1.xml")

find_package(PkgConfig)
if(PKG_CONFIG_FOUND)
  pkg_check_modules(TE_WAYLAND IMPORTED_TARGET wayland-client libevdev xkbcommon)
  pkg_get_variable(TE_WAYLAND_SCANNER wayland-scanner wayland_scanner)
endif()

set(TE_WAYLAND_PROTOCOL_FILES
  virtual-keyboard-unstable-v1.xml
  wlr-data-control-unstable-v1.xml
  wlr-foreign-toplevel-management-unstable-v1.xml)
set(TE_WAYLAND_PROTOCOLS_FOUND ON)
foreach(xml ${TE_WAYLAND_PROTOCOL_FILES})
  if(NOT EXISTS "${TE_WAYLAND_PROTOCOLS_DIR}/${xml}")
    set(TE_WAYLAND_PROTOCOLS_FOUND OFF)
  endif()
endforeach()

if(TE_WAYLAND_FOUND AND TE_WAYLAND_SCANNER AND EXISTS "${TE_WAYLAND_SCANNER}" AND TE_WAYLAND_PROTOCOLS_FOUND)
  set(TE_WAYLAND_DESKTOP_FOUND ON)
else()
  set(TE_WAYLAND_DESKTOP_FOUND OFF)
endif()

set(TE_WAYLAND_NEEDS "libwayland-dev, libwayland-bin, libevdev-dev, libxkbcommon-dev, and the protocol files in \
TE_WAYLAND_PROTOCOLS_DIR (now ${TE_WAYLAND_PROTOCOLS_DIR})")

# te_wayland_protocol(TARGET XML): adds the client header and the glue code
# of one protocol description to TARGET, generated into the build folder.
function(te_wayland_protocol target xml)
  get_filename_component(name "${xml}" NAME_WE)
  set(out "${CMAKE_CURRENT_BINARY_DIR}/protocols")
  file(MAKE_DIRECTORY "${out}")
  add_custom_command(
    OUTPUT "${out}/${name}-client.h" "${out}/${name}.c"
    COMMAND "${TE_WAYLAND_SCANNER}" client-header "${xml}" "${out}/${name}-client.h"
    COMMAND "${TE_WAYLAND_SCANNER}" private-code "${xml}" "${out}/${name}.c"
    DEPENDS "${xml}"
    VERBATIM)
  target_sources(${target} PRIVATE "${out}/${name}-client.h" "${out}/${name}.c")
  target_include_directories(${target} PUBLIC "${out}")
endfunction()
