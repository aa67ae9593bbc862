# What the GNOME and KDE Plasma desktops need beyond the Wayland desktop,
# whose keymap, key reading and clipboard code they share: sd-bus of
# libsystemd (the session bus: Mutter's remote desktop, KWin's scripting),
# and for KDE the description of KWin's fake input protocol from Debian's
# plasma-wayland-protocols. TE_GNOME_DESKTOP_FOUND and TE_KDE_DESKTOP_FOUND
# are set when every part is there.
find_package(PlasmaWaylandProtocols QUIET)
set(TE_KDE_FAKE_INPUT_XML "${PLASMA_WAYLAND_PROTOCOLS_DIR}/fake-input.xml")
if(PKG_CONFIG_FOUND)
  pkg_check_modules(TE_SDBUS IMPORTED_TARGET libsystemd)
endif()

set(TE_GNOME_DESKTOP_FOUND OFF)
set(TE_KDE_DESKTOP_FOUND OFF)
if(TE_WAYLAND_DESKTOP_FOUND AND TE_SDBUS_FOUND)
  set(TE_GNOME_DESKTOP_FOUND ON)
  if(PlasmaWaylandProtocols_FOUND AND EXISTS "${TE_KDE_FAKE_INPUT_XML}")
    set(TE_KDE_DESKTOP_FOUND ON)
  endif()
endif()

set(TE_GNOME_NEEDS "the Wayland desktop's packages and libsystemd-dev")
set(TE_KDE_NEEDS "the Wayland desktop's packages, libsystemd-dev and plasma-wayland-protocols")
