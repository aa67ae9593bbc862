// The desktop named "none", for a process with no display: no clipboard
// text, no program in front, no keys held, and typing that has nowhere to
// go. Waiting is a sleep that watch_wake() cuts short, so the worker polls
// and still stops at once.
#include "desktops.h"
#include "wake.h"

namespace {

int te_none_type_text_utf8(const char* text, int dry_run) {
    if (!text || !text[0]) return -1;
    (void)dry_run;
    return -3;
}

int te_none_type_replacing(int erase_count, const char* text, int dry_run) {
    (void)dry_run;
    return erase_count <= 0 && (!text || !text[0]) ? -1 : -3;
}

int te_none_press_key(int key, int count, int dry_run) {
    (void)dry_run;
    return (key != TE_PRESS_LEFT && key != TE_PRESS_DELETE) || count <= 0 ? -1 : -3;
}

char* te_none_get_clipboard_text_utf8(char* out, int size) {
    if (size <= 1) return nullptr;
    out[0] = 0;
    return nullptr;
}

std::uint32_t te_none_clipboard_sequence(void) { return 0; }

const char* te_none_foreground_process_name(char* out, int size) {
    if (size <= 1) return nullptr;
    out[0] = 0;
    return nullptr;
}

int te_none_foreground_is_this_process(void) { return 0; }

int te_none_key_is_down(int vk) {
    (void)vk;
    return 0;
}

int te_none_watch_open(int what) {
    (void)what;
    return 0;
}

int te_none_watch_wait(int ms) {
    te_wake_poll(-1, ms);
    return 0;
}

int te_none_watch_next_key(te_key_event* out) {
    (void)out;
    return 0;
}

void te_none_watch_close(void) {}

// No keys are watched, so none are held.
int te_none_keys_hold_begin(void) { return TE_HOLD_NONE; }

void te_none_keys_hold_end(void) {}

}  // namespace

const te_desktop te_desktop_none = {
    "none",
    te_none_type_text_utf8,
    te_none_type_replacing,
    te_none_press_key,
    te_none_get_clipboard_text_utf8,
    te_none_clipboard_sequence,
    te_none_foreground_process_name,
    te_none_key_is_down,
    te_none_watch_open,
    te_none_watch_wait,
    te_wake_send,
    te_none_watch_close,
    te_none_watch_next_key,
    te_none_keys_hold_begin,
    te_none_keys_hold_end,
    te_desktop_lacks_nothing,
    te_none_foreground_is_this_process,
};
