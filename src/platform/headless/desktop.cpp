// A desktop with no display: no clipboard text, no program in front, no
// keys held, and typing that has nowhere to go.
#include "platform.h"

int type_text_utf8(const char* text, int dry_run) {
    if (!text || !text[0]) return -1;
    (void)dry_run;
    return -3;
}

int type_replacing(int erase_count, const char* text, int dry_run) {
    (void)dry_run;
    return erase_count <= 0 && (!text || !text[0]) ? -1 : -3;
}

char* get_clipboard_text_utf8(char* out, int size) {
    if (size <= 1) return nullptr;
    out[0] = 0;
    return nullptr;
}

std::uint32_t clipboard_sequence(void) { return 0; }

const char* foreground_process_name(char* out, int size) {
    if (size <= 1) return nullptr;
    out[0] = 0;
    return nullptr;
}

int key_is_down(int vk) {
    (void)vk;
    return 0;
}

