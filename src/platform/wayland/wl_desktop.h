// The Wayland desktop's entries in its table (desktop.cpp), each as its
// free function in platform.h describes. The tests call them through the
// free functions, with this desktop in use.
#ifndef TE_WL_DESKTOP_H
#define TE_WL_DESKTOP_H

#include "platform.h"

#include <string>

int te_wl_type_text_utf8(const char* text, int dry_run);
int te_wl_type_replacing(int erase_count, const char* text, int dry_run);
int te_wl_press_key(int key, int count, int dry_run);
char* te_wl_get_clipboard_text_utf8(char* out, int size);
std::uint32_t te_wl_clipboard_sequence(void);
const char* te_wl_foreground_process_name(char* out, int size);
int te_wl_foreground_is_this_process(void);
// The base name of this process's executable ("" when it cannot be read):
// the app_id a host's own windows carry.
std::string te_own_executable_name(void);
int te_wl_key_is_down(int vk);
int te_wl_watch_open(int what);
int te_wl_watch_wait(int ms);
void te_wl_watch_close(void);
int te_wl_watch_next_key(te_key_event* out);
int te_wl_keys_hold_begin(void);
void te_wl_keys_hold_end(void);
int te_wl_desktop_missing(int needs, char* why, int size);

#endif
