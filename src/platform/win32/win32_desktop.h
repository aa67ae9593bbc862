// The Windows desktop's entries in its table (desktop.cpp), each as its
// free function in platform.h describes.
#ifndef TE_WIN32_DESKTOP_H
#define TE_WIN32_DESKTOP_H

#include "platform.h"

int te_win32_type_text_utf8(const char* text, int dry_run);
int te_win32_type_replacing(int erase_count, const char* text, int dry_run);
int te_win32_press_key(int key, int count, int dry_run);
char* te_win32_get_clipboard_text_utf8(char* out, int size);
std::uint32_t te_win32_clipboard_sequence(void);
const char* te_win32_foreground_process_name(char* out, int size);
int te_win32_foreground_is_this_process(void);
int te_win32_key_is_down(int vk);
int te_win32_watch_open(int what);
int te_win32_watch_wait(int ms);
void te_win32_watch_wake(void);
void te_win32_watch_close(void);
int te_win32_watch_next_key(te_key_event* out);
int te_win32_keys_hold_begin(void);
void te_win32_keys_hold_end(void);

#endif
