// The desktops' tables. A build links some of them (desktop_choice.h
// picks among those of a Linux library); which ones is the build's
// choice, never the engine's.
#ifndef TE_DESKTOPS_H
#define TE_DESKTOPS_H

#include "platform.h"

extern const te_desktop te_desktop_x11;
extern const te_desktop te_desktop_wayland;
extern const te_desktop te_desktop_kde;
extern const te_desktop te_desktop_gnome;
extern const te_desktop te_desktop_none;
extern const te_desktop te_desktop_win32;
extern const te_desktop te_desktop_fake;

#endif
