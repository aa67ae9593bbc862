// The KDE Plasma desktop's own entries in its table (desktop.cpp); the
// clipboard, the key watch and the key states are the Wayland desktop's
// (wl_desktop.h), since KWin offers data control to every program.
#ifndef TE_KDE_DESKTOP_H
#define TE_KDE_DESKTOP_H

#include "platform.h"

int te_kde_type_text_utf8(const char* text, int dry_run);
int te_kde_type_replacing(int erase_count, const char* text, int dry_run);
int te_kde_press_key(int key, int count, int dry_run);
const char* te_kde_foreground_process_name(char* out, int size);
int te_kde_foreground_is_this_process(void);
int te_kde_desktop_missing(int needs, char* why, int size);

#endif
