# What the X11 desktop needs: Xlib with XTest (typing), XFixes (clipboard
# changes), XInput2 (the key watch), X-Resource (the process of a window),
# and libxkbcommon with its X11 part (the text a key press types under the
# user's layout).
# TE_X11_DESKTOP_FOUND is set when every part is there.
find_package(X11)
find_package(PkgConfig)
if(PKG_CONFIG_FOUND)
  pkg_check_modules(TE_XKBCOMMON IMPORTED_TARGET xkbcommon xkbcommon-x11)
endif()
if(X11_FOUND AND X11_Xtst_FOUND AND X11_Xfixes_FOUND AND X11_Xi_FOUND AND X11_XRes_FOUND AND X11_xcb_FOUND
   AND TE_XKBCOMMON_FOUND)
  set(TE_X11_DESKTOP_FOUND ON)
else()
  set(TE_X11_DESKTOP_FOUND OFF)
endif()
