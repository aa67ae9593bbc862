#include "key_hook.h"

#include "key_queue.h"
#include "key_text.h"
#include "own_module.h"
#include "platform.h"
#include "text_convert.h"

#include <atomic>

namespace {

// The hooks and what they gathered. Only the worker thread touches it: the
// system calls the hooks on the thread that installed them.
struct te_hooks {
    HHOOK keyboard = nullptr;
    HHOOK mouse = nullptr;
    DWORD thread = 0;
    HWND front = nullptr;   // the window in front at the last key
    wchar_t accent = 0;     // a dead key waiting for its next key
    wchar_t high = 0;       // the first half of a surrogate pair typed as VK_PACKET
    te_key_queue queue;
};
te_hooks te_hook;

// Shared with the threads that type: whether the hooks are in place, and
// how many of the engine's unmarked Unicode key presses they have yet to
// see. Atomics only; reset when the hooks come and go.
std::atomic<bool> te_hook_live{false};
std::atomic<int> te_own_owed{0};

// 1 when this injected Unicode key press is one of the engine's own.
bool te_take_owed(const KBDLLHOOKSTRUCT& key) {
    if (key.vkCode != VK_PACKET || !(key.flags & LLKHF_INJECTED)) return false;
    int owed = te_own_owed.load();
    while (owed > 0 && !te_own_owed.compare_exchange_weak(owed, owed - 1)) {
    }
    return owed > 0;
}

bool te_is_modifier(DWORD vk) {
    switch (vk) {
    case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT: case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL:
    case VK_MENU: case VK_LMENU: case VK_RMENU: case VK_LWIN: case VK_RWIN: case VK_CAPITAL:
    case VK_NUMLOCK: case VK_SCROLL:
        return true;
    default:
        return false;
    }
}

// Keys that move the cursor or end the line.
bool te_is_moving(DWORD vk) {
    switch (vk) {
    case VK_RETURN: case VK_TAB: case VK_ESCAPE: case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
    case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
        return true;
    default:
        return false;
    }
}

void te_push(int kind, const wchar_t* text = nullptr) {
    char utf8[16];
    if (kind == TE_KEY_TEXT && !te_wide_to_utf8(text, utf8, (int)sizeof utf8)) kind = TE_KEY_RESET;
    te_key_queue_push(&te_hook.queue, kind, kind == TE_KEY_TEXT ? utf8 : nullptr);
}

void te_reset(void) {
    te_hook.accent = 0;
    te_push(TE_KEY_RESET);
}

// Another window in front since the last key: another program, perhaps.
void te_note_front(void) {
    HWND front = GetForegroundWindow();
    if (front != te_hook.front) te_reset();
    te_hook.front = front;
}

// A character another program typed as a Unicode keystroke.
void te_on_packet(wchar_t unit) {
    if (unit >= 0xD800 && unit < 0xDC00) {
        te_hook.high = unit;
        return;
    }
    wchar_t text[3] = {unit, 0, 0};
    if (unit >= 0xDC00 && unit < 0xE000 && te_hook.high) {
        text[0] = te_hook.high;
        text[1] = unit;
    }
    te_hook.high = 0;
    te_push(TE_KEY_TEXT, text);
}

void te_on_text(const wchar_t* typed) {
    wchar_t text[8];
    if (te_hook.accent) te_key_text_compose(te_hook.accent, typed, text);
    else lstrcpynW(text, typed, 8);
    te_hook.accent = 0;
    if (text[0] < 0x20 || text[0] == 0x7F) te_push(TE_KEY_RESET);
    else te_push(TE_KEY_TEXT, text);
}

void te_on_key(const KBDLLHOOKSTRUCT& key) {
    if (te_is_modifier(key.vkCode)) return;
    te_note_front();
    if (key.vkCode == VK_PACKET) return te_on_packet((wchar_t)key.scanCode);
    bool ctrl = key_is_down(VK_CONTROL), alt = key_is_down(VK_MENU) || (key.flags & LLKHF_ALTDOWN);
    if (te_is_moving(key.vkCode) || key_is_down(VK_LWIN) || key_is_down(VK_RWIN)) return te_reset();
    if (key.vkCode == VK_BACK) {
        te_hook.accent = 0;
        return ctrl || alt ? te_reset() : te_push(TE_KEY_BACKSPACE);
    }
    wchar_t text[8];
    int n = te_key_text_of(key, text);
    // Ctrl+Alt is AltGr: a character when the layout has one there.
    bool shortcut = (ctrl || alt) && !(ctrl && alt && n != 0);
    if (shortcut) return te_reset();
    if (n < 0) te_hook.accent = text[0];
    else if (n > 0) te_on_text(text);
}

LRESULT CALLBACK te_keyboard_proc(int code, WPARAM wp, LPARAM lp) {
    const KBDLLHOOKSTRUCT* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
    bool down = code == HC_ACTION && (wp == WM_KEYDOWN || wp == WM_SYSKEYDOWN);
    if (down && key->dwExtraInfo != TE_OWN_INPUT_MARK && !te_take_owed(*key)) te_on_key(*key);
    return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK te_mouse_proc(int code, WPARAM wp, LPARAM lp) {
    bool click = wp == WM_LBUTTONDOWN || wp == WM_RBUTTONDOWN || wp == WM_MBUTTONDOWN || wp == WM_XBUTTONDOWN;
    if (code == HC_ACTION && click) te_reset();
    return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

int te_key_hook_open(void) {
    if (te_hook.keyboard) return 1;
    HMODULE module = te_own_module();
    te_hook.keyboard = SetWindowsHookExW(WH_KEYBOARD_LL, te_keyboard_proc, module, 0);
    te_hook.mouse = SetWindowsHookExW(WH_MOUSE_LL, te_mouse_proc, module, 0);
    te_hook.thread = GetCurrentThreadId();
    te_hook.front = GetForegroundWindow();
    te_own_owed = 0;
    te_hook_live = te_hook.keyboard != nullptr;
    return te_hook.keyboard != nullptr;
}

int te_key_hook_pending(void) { return te_hook.queue.count != 0; }

void te_key_hook_pump(void) {
    if (!te_hook.keyboard || te_hook.thread != GetCurrentThreadId()) return;
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

void te_key_hook_expect_own(int units) {
    if (te_hook_live) te_own_owed += units;
}

void te_key_hook_close(void) {
    te_hook_live = false;
    te_own_owed = 0;
    if (te_hook.keyboard) UnhookWindowsHookEx(te_hook.keyboard);
    if (te_hook.mouse) UnhookWindowsHookEx(te_hook.mouse);
    te_key_queue_wipe(&te_hook.queue);
    te_hook = te_hooks();
}

int watch_next_key(te_key_event* out) { return te_key_queue_pop(&te_hook.queue, out); }

int keys_hold_begin(void) { return TE_HOLD_NONE; }

void keys_hold_end(void) {}
