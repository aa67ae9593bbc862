// Typing a UTF-8 text as Unicode keystrokes with SendInput, once the user
// has let go of every key.
#include "held_keys.h"
#include "integrity.h"
#include "key_hook.h"
#include "keyboard_seam.h"
#include "platform.h"
#include "win32_desktop.h"

#include <cstdlib>

namespace {

// One SendInput call carries at most this many UTF-16 units, two records
// (down, up) each.
const int TE_BATCH_UNITS = 100;

te_keyboard_calls te_calls = {SendInput, GetForegroundWindow, te_runs_above_us};

void te_fill_key_record(INPUT* rec, WORD vk, wchar_t unit, DWORD flags, ULONG_PTR extra) {
    rec->type = INPUT_KEYBOARD;
    rec->ki.wVk = vk;
    rec->ki.wScan = (WORD)unit;
    rec->ki.dwFlags = flags;
    rec->ki.time = 0;
    rec->ki.dwExtraInfo = extra;
}

// The extra information of type_text_utf8's records: what the thread's
// last message carried. type_replacing marks its own instead.
ULONG_PTR te_message_extra(void) { return (ULONG_PTR)GetMessageExtraInfo(); }
ULONG_PTR te_own_mark(void) { return TE_OWN_INPUT_MARK; }

// Builds the records of units[0..count) into batch and sends them as one
// call. 0 when the system refused the batch.
int te_send_batch(const wchar_t* units, int count, INPUT* batch, ULONG_PTR (*extra)(void)) {
    for (int i = 0; i < count; i++) {
        ULONG_PTR mark = extra();
        te_fill_key_record(&batch[2 * i], 0, units[i], KEYEVENTF_UNICODE, mark);
        te_fill_key_record(&batch[2 * i + 1], 0, units[i], KEYEVENTF_UNICODE | KEYEVENTF_KEYUP, mark);
    }
    // Unmarked keystrokes are announced to a key watch before the hook can
    // see them, and those the system did not take (the records after the
    // ones it reports: a press and its release each) are taken back.
    int unmarked = extra == te_own_mark ? 0 : count;
    te_key_hook_expect_own(unmarked, unmarked);
    UINT taken = te_calls.send_input((UINT)(2 * count), batch, (int)sizeof(INPUT));
    if (taken > (UINT)(2 * count)) taken = (UINT)(2 * count);
    if (unmarked) te_key_hook_expect_own(-(count - (int)(taken + 1) / 2), -(count - (int)taken / 2));
    return taken != 0;
}

int te_send_units(const wchar_t* units, int n, ULONG_PTR (*extra)(void)) {
    INPUT batch[2 * TE_BATCH_UNITS];
    for (int p = 0; p < n; p += TE_BATCH_UNITS) {
        int count = (n - p < TE_BATCH_UNITS) ? n - p : TE_BATCH_UNITS;
        te_key_hook_hold_expire();
        if (!te_send_batch(units + p, count, batch, extra)) return -2;
    }
    return 0;
}

// `count` presses of the key `vk` (`flags` for both records: the arrows
// and Delete are extended keys), marked as the engine's own.
int te_send_key_presses(WORD vk, DWORD flags, int count) {
    INPUT batch[2 * TE_BATCH_UNITS];
    for (int p = 0; p < count; p += TE_BATCH_UNITS) {
        int n = (count - p < TE_BATCH_UNITS) ? count - p : TE_BATCH_UNITS;
        for (int i = 0; i < n; i++) {
            te_fill_key_record(&batch[2 * i], vk, 0, flags, TE_OWN_INPUT_MARK);
            te_fill_key_record(&batch[2 * i + 1], vk, 0, flags | KEYEVENTF_KEYUP, TE_OWN_INPUT_MARK);
        }
        te_key_hook_hold_expire();
        if (te_calls.send_input((UINT)(2 * n), batch, (int)sizeof(INPUT)) == 0) return -2;
    }
    return 0;
}

// The text as UTF-16 in a heap buffer the caller frees; *units counts them
// without the NUL. Null when there is nothing to type or no memory.
wchar_t* te_wide_copy(const char* text, int* units) {
    int with_nul = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (with_nul <= 1) return nullptr;
    wchar_t* wide = static_cast<wchar_t*>(std::malloc(sizeof(wchar_t) * (size_t)with_nul));
    if (!wide) return nullptr;
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, with_nul);
    *units = with_nul - 1;
    return wide;
}

// -3 when no window is in front, -4 when it would drop our keystrokes.
int te_window_check(void) {
    HWND window = te_calls.foreground_window();
    if (!window) return -3;
    return te_calls.runs_above_us && te_calls.runs_above_us(window) ? -4 : 0;
}

}  // namespace

te_keyboard_calls te_keyboard_swap_calls(te_keyboard_calls calls) {
    te_keyboard_calls previous = te_calls;
    te_calls = calls;
    return previous;
}

te_keyboard_calls te_keyboard_system_calls(void) { return {SendInput, GetForegroundWindow, te_runs_above_us}; }

UINT te_keyboard_send(UINT count, INPUT* inputs) { return te_calls.send_input(count, inputs, (int)sizeof(INPUT)); }

int te_win32_type_text_utf8(const char* text, int dry_run) {
    if (!text || !text[0]) return -1;
    if (dry_run) return -3;
    int window = te_window_check();
    if (window != 0) return window;
    int units = 0;
    wchar_t* wide = te_wide_copy(text, &units);
    if (!wide) return -1;
    te_let_go_of_keys(te_calls.send_input);
    int result = te_send_units(wide, units, te_message_extra);
    std::free(wide);
    return result;
}

int te_win32_type_replacing(int erase_count, const char* text, int dry_run) {
    int units = 0;
    wchar_t* wide = text && text[0] ? te_wide_copy(text, &units) : nullptr;
    int result = -1;
    if (erase_count <= 0 && !wide) result = -1;
    else if (dry_run) result = -3;
    else result = te_window_check();
    if (result == 0) te_let_go_of_keys(te_calls.send_input);
    if (result == 0 && erase_count > 0) result = te_send_key_presses(VK_BACK, 0, erase_count);
    if (result == 0 && wide) result = te_send_units(wide, units, te_own_mark);
    std::free(wide);
    return result;
}

int te_win32_press_key(int key, int count, int dry_run) {
    WORD vk = key == TE_PRESS_LEFT ? VK_LEFT : key == TE_PRESS_DELETE ? VK_DELETE : 0;
    if (!vk || count <= 0) return -1;
    if (dry_run) return -3;
    int result = te_window_check();
    if (result != 0) return result;
    te_let_go_of_keys(te_calls.send_input);
    return te_send_key_presses(vk, KEYEVENTF_EXTENDEDKEY, count);
}
