// The desktop calls the engine makes, each handed to the desktop in use.
#include "platform.h"

int type_text_utf8(const char* text, int dry_run) { return te_desktop_in_use().type_text_utf8(text, dry_run); }

int type_replacing(int erase_count, const char* text, int dry_run) {
    return te_desktop_in_use().type_replacing(erase_count, text, dry_run);
}

int press_key(int key, int count, int dry_run) { return te_desktop_in_use().press_key(key, count, dry_run); }

char* get_clipboard_text_utf8(char* out, int size) { return te_desktop_in_use().get_clipboard_text_utf8(out, size); }

std::uint32_t clipboard_sequence(void) { return te_desktop_in_use().clipboard_sequence(); }

const char* foreground_process_name(char* out, int size) {
    return te_desktop_in_use().foreground_process_name(out, size);
}

int foreground_is_this_process(void) { return te_desktop_in_use().foreground_is_this_process(); }

int key_is_down(int vk) { return te_desktop_in_use().key_is_down(vk); }

int watch_open(int what) { return te_desktop_in_use().watch_open(what); }

int watch_wait(int ms) { return te_desktop_in_use().watch_wait(ms); }

void watch_wake(void) { te_desktop_in_use().watch_wake(); }

void watch_close(void) { te_desktop_in_use().watch_close(); }

int watch_next_key(te_key_event* out) { return te_desktop_in_use().watch_next_key(out); }

int keys_hold_begin(void) { return te_desktop_in_use().keys_hold_begin(); }

void keys_hold_end(void) { te_desktop_in_use().keys_hold_end(); }

int desktop_missing(int needs, char* why, int size) { return te_desktop_in_use().missing(needs, why, size); }
