// The GNOME desktop's own entries in its table (desktop.cpp); the key
// states and the hold are the Wayland desktop's (wl_desktop.h).
#ifndef TE_GNOME_DESKTOP_H
#define TE_GNOME_DESKTOP_H

#include "clipboard_keeper.h"
#include "platform.h"

#include <string>

int te_gnome_type_text_utf8(const char* text, int dry_run);
int te_gnome_type_replacing(int erase_count, const char* text, int dry_run);
int te_gnome_press_key(int key, int count, int dry_run);
char* te_gnome_get_clipboard_text_utf8(char* out, int size);
std::uint32_t te_gnome_clipboard_sequence(void);
const char* te_gnome_foreground_process_name(char* out, int size);
int te_gnome_foreground_is_this_process(void);
int te_gnome_watch_open(int what);
int te_gnome_watch_wait(int ms);
void te_gnome_watch_close(void);
int te_gnome_watch_next_key(te_key_event* out);
int te_gnome_keys_hold_begin(void);
void te_gnome_keys_hold_end(void);
int te_gnome_desktop_missing(int needs, char* why, int size);

// A descriptor to read the clipboard's content in `type` from (null: its
// best text format), -1 when there is none. Mutter refuses a session a
// read while its previous one is still finishing, even though that one's
// content has all arrived: a refused read is tried again for a short
// while, without te_bus_lock held in between.
int te_gnome_open_clipboard(const char* type);

// The clipboard side of the typing (paste.cpp).
int te_gnome_save_clipboard(te_clip_contents* out);
int te_gnome_paste(const std::string& text);
int te_gnome_restore_clipboard(const te_clip_contents& saved);
void te_gnome_serve_clipboard(const te_clip_contents& contents, te_clip_ready ready, void* ready_ctx);

#endif
