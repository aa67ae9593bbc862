// The X11 desktop's entries in its table (desktop.cpp), each as its free
// function in platform.h describes. The tests call them through the free
// functions, with this desktop in use.
#ifndef TE_X11_DESKTOP_H
#define TE_X11_DESKTOP_H

#include "platform.h"

int te_x11_type_text_utf8(const char* text, int dry_run);
int te_x11_type_replacing(int erase_count, const char* text, int dry_run);
int te_x11_press_key(int key, int count, int dry_run);
char* te_x11_get_clipboard_text_utf8(char* out, int size);
std::uint32_t te_x11_clipboard_sequence(void);
const char* te_x11_foreground_process_name(char* out, int size);
int te_x11_foreground_is_this_process(void);
int te_x11_key_is_down(int vk);
int te_x11_watch_open(int what);
int te_x11_watch_wait(int ms);
void te_x11_watch_close(void);
int te_x11_watch_next_key(te_key_event* out);
int te_x11_keys_hold_begin(void);
void te_x11_keys_hold_end(void);

#endif
