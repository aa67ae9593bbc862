// Typing a UTF-8 text as Unicode keystrokes with SendInput, once the user
// has let go of every key.
#include "held_keys.h"
#include "keyboard_seam.h"
#include "platform.h"

#include <cstdlib>

namespace {

// One SendInput call carries at most this many UTF-16 units, two records
// (down, up) each.
const int TE_BATCH_UNITS = 100;

te_keyboard_calls te_calls = {SendInput, GetForegroundWindow};

void te_fill_key_record(INPUT* rec, wchar_t unit, DWORD flags, ULONG_PTR extra) {
    rec->type = INPUT_KEYBOARD;
    rec->ki.wVk = 0;
    rec->ki.wScan = (WORD)unit;
    rec->ki.dwFlags = flags;
    rec->ki.time = 0;
    rec->ki.dwExtraInfo = extra;
}

// Builds the records of units[0..count) into batch and sends them as one
// call. 0 when the system refused the batch.
int te_send_batch(const wchar_t* units, int count, INPUT* batch) {
    for (int i = 0; i < count; i++) {
        ULONG_PTR extra = (ULONG_PTR)GetMessageExtraInfo();
        te_fill_key_record(&batch[2 * i], units[i], KEYEVENTF_UNICODE, extra);
        te_fill_key_record(&batch[2 * i + 1], units[i], KEYEVENTF_UNICODE | KEYEVENTF_KEYUP, extra);
    }
    return te_calls.send_input((UINT)(2 * count), batch, (int)sizeof(INPUT)) != 0;
}

int te_send_units(const wchar_t* units, int n) {
    INPUT batch[2 * TE_BATCH_UNITS];
    for (int p = 0; p < n; p += TE_BATCH_UNITS) {
        int count = (n - p < TE_BATCH_UNITS) ? n - p : TE_BATCH_UNITS;
        if (!te_send_batch(units + p, count, batch)) return -2;
    }
    return 0;
}

}  // namespace

te_keyboard_calls te_keyboard_swap_calls(te_keyboard_calls calls) {
    te_keyboard_calls previous = te_calls;
    te_calls = calls;
    return previous;
}

te_keyboard_calls te_keyboard_system_calls(void) { return {SendInput, GetForegroundWindow}; }

int type_text_utf8(const char* text, int dry_run) {
    if (!text || !text[0]) return -1;
    if (dry_run) return -3;
    if (!te_calls.foreground_window()) return -3;

    int units = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (units <= 1) return -1;
    wchar_t* wide = static_cast<wchar_t*>(std::malloc(sizeof(wchar_t) * (size_t)units));
    if (!wide) return -1;
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, units);

    te_let_go_of_keys(te_calls.send_input);
    int result = te_send_units(wide, units - 1);
    std::free(wide);
    return result;
}
