# KWin (KDE Plasma on Wayland) lets a program type through its fake input
# only when an applications folder holds a desktop file whose Exec= is the
# program's absolute path and that names org_kde_kwin_fake_input in
# X-KDE-Wayland-Interfaces (`te kwin-trust` writes one for a build run
# from elsewhere). te_install_kwin_trust(TARGET) installs one for an
# installed program into share/applications. Exec= is written at install
# time, so that it names the prefix installed to (`cmake --install
# --prefix`, a package's staging).
function(te_install_kwin_trust target)
  set(name "${target}")
  if(NOT name MATCHES "^velmora-")
    set(name "velmora-${name}")
  endif()
  set(entry "${CMAKE_CURRENT_BINARY_DIR}/${name}-fake-input.desktop")
  install(CODE "
    set(te_program \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${target}\")
    if(IS_ABSOLUTE \"${CMAKE_INSTALL_BINDIR}\")
      set(te_program \"${CMAKE_INSTALL_BINDIR}/${target}\")
    endif()
    file(WRITE \"${entry}\" \"[Desktop Entry]
Type=Application
Name=${target} (typing on KDE Plasma)
Comment=Lets KWin take the typing of ${target} through its fake input
Exec=\\\"\${te_program}\\\"
NoDisplay=true
X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input
\")
    file(INSTALL \"${entry}\" DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
  ")
endfunction()
