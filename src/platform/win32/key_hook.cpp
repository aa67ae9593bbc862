#include "key_hook.h"

#include "key_queue.h"
#include "key_text.h"
#include "memory_wipe.h"
#include "own_module.h"
#include "platform.h"
#include "text_convert.h"
#include "win32_desktop.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

// How long the hold's end waits for the hook to see the keys it sent
// again, per round, and how many rounds it takes for keys that keep coming.
const ULONGLONG TE_REPLAY_WAIT_MS = 500;
const int TE_REPLAY_ROUNDS = 8;

// One key event the hook held back.
struct te_held_key {
    KBDLLHOOKSTRUCT key;
    bool up;
};

// What the hook thread and the worker share. `lock` guards every field
// below it; the hook decides whether to hold a key and queues its event
// under it, so a hold begun under it sees every key before it queued.
struct te_hook_shared {
    std::mutex lock;
    te_key_queue queue;
    bool holding = false;
    ULONGLONG held_since = 0;
    std::vector<te_held_key> held;
    // The user's keys down, as the hook saw them (held ones included).
    bool user_down[256] = {};
    // Modifiers released for the typing during the hold.
    std::vector<DWORD> let_go;
};
te_hook_shared te_shared;

// The hook thread's own state: only the hook procedures touch it.
struct te_hook_state {
    HWND front = nullptr;  // the window in front at the last key
    wchar_t accent = 0;    // a dead key waiting for its next key
    wchar_t high = 0;      // the first half of a surrogate pair typed as VK_PACKET
};
te_hook_state te_hook;

// Run control, shared with any thread through atomics; the thread's handle
// and id are set and cleared by the watching thread only.
std::atomic<bool> te_hook_live{false};
std::atomic<bool> te_synthetic{false};
std::atomic<int> te_own_downs{0};
std::atomic<int> te_own_ups{0};
std::atomic<long> te_replays_seen{0};
te_thread_handle te_thread = nullptr;
DWORD te_thread_id = 0;
HANDLE te_arrived = nullptr;  // auto-reset
HANDLE te_started = nullptr;  // manual-reset

// Takes one from `owed` when it is positive.
bool te_take_one(std::atomic<int>& owed) {
    int n = owed.load();
    while (n > 0 && !owed.compare_exchange_weak(n, n - 1)) {
    }
    return n > 0;
}

// 1 when this injected Unicode keystroke is one of the engine's own.
bool te_take_owed(const KBDLLHOOKSTRUCT& key, bool up) {
    if (key.vkCode != VK_PACKET || !(key.flags & LLKHF_INJECTED)) return false;
    return te_take_one(up ? te_own_ups : te_own_downs);
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

// Queues one event and wakes the worker. Shared lock held.
void te_push(int kind, const wchar_t* text = nullptr) {
    char utf8[16];
    bool has_text = text && te_wide_to_utf8(text, utf8, (int)sizeof utf8);
    if (kind == TE_KEY_TEXT && !has_text) kind = TE_KEY_RESET;
    te_key_queue_push(&te_shared.queue, kind, has_text ? utf8 : nullptr);
    SetEvent(te_arrived);
}

// `typed`: what Enter or Tab typed (see te_key_event), else null.
void te_reset(const wchar_t* typed = nullptr) {
    te_hook.accent = 0;
    te_push(TE_KEY_RESET, typed);
}

const wchar_t* te_separator_text(DWORD vk) {
    if (vk == VK_RETURN) return L"\n";
    return vk == VK_TAB ? L"\t" : nullptr;
}

// Another window in front since the last key: another program, perhaps.
void te_note_front(void) {
    HWND front = GetForegroundWindow();
    if (front != te_hook.front) te_reset();
    te_hook.front = front;
}

// A character typed as a Unicode keystroke.
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

// A key press that counts. Shared lock held.
void te_on_key(const KBDLLHOOKSTRUCT& key) {
    if (te_is_modifier(key.vkCode)) return;
    te_note_front();
    if (key.vkCode == VK_PACKET) return te_on_packet((wchar_t)key.scanCode);
    bool ctrl = te_win32_key_is_down(VK_CONTROL), alt = te_win32_key_is_down(VK_MENU) || (key.flags & LLKHF_ALTDOWN);
    bool win = te_win32_key_is_down(VK_LWIN) || te_win32_key_is_down(VK_RWIN);
    if (te_is_moving(key.vkCode) || win) return te_reset(ctrl || alt || win ? nullptr : te_separator_text(key.vkCode));
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

// Whether a key event counts as the user's: not the engine's own, not
// another program's unless those are watched.
bool te_counts(const KBDLLHOOKSTRUCT& key, bool up) {
    if (key.dwExtraInfo == TE_OWN_INPUT_MARK) return false;
    if (key.dwExtraInfo == TE_REPLAY_MARK) return true;
    if (te_take_owed(key, up)) return false;
    return !(key.flags & LLKHF_INJECTED) || te_synthetic.load();
}

// 1 when the key is held back.
bool te_take_key(WPARAM wp, const KBDLLHOOKSTRUCT& key) {
    bool up = wp == WM_KEYUP || wp == WM_SYSKEYUP;
    if (!te_counts(key, up)) return false;
    bool replay = key.dwExtraInfo == TE_REPLAY_MARK;
    std::lock_guard<std::mutex> g(te_shared.lock);
    if (replay) te_replays_seen++;
    else if (key.vkCode < 256) te_shared.user_down[key.vkCode] = !up;
    if (te_shared.holding && !replay) {
        te_shared.held.push_back({key, up});
        return true;
    }
    if (!up) te_on_key(key);
    return false;
}

LRESULT CALLBACK te_keyboard_proc(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && te_take_key(wp, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp))) return 1;
    return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK te_mouse_proc(int code, WPARAM wp, LPARAM lp) {
    const MSLLHOOKSTRUCT* mouse = reinterpret_cast<const MSLLHOOKSTRUCT*>(lp);
    bool click = wp == WM_LBUTTONDOWN || wp == WM_RBUTTONDOWN || wp == WM_MBUTTONDOWN || wp == WM_XBUTTONDOWN;
    bool counts = !(mouse->flags & LLMHF_INJECTED) || te_synthetic.load();
    if (code == HC_ACTION && click && counts) {
        std::lock_guard<std::mutex> g(te_shared.lock);
        te_reset();
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

// The hook thread: installs the hooks, says whether they are in place, and
// lets the system call them until it is told to quit.
unsigned te_hook_thread(void*) {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue a quit is posted to
    te_thread_id = GetCurrentThreadId();
    HMODULE module = te_own_module();
    HHOOK keyboard = SetWindowsHookExW(WH_KEYBOARD_LL, te_keyboard_proc, module, 0);
    HHOOK mouse = SetWindowsHookExW(WH_MOUSE_LL, te_mouse_proc, module, 0);
    te_hook = te_hook_state();
    te_hook.front = GetForegroundWindow();
    te_hook_live = keyboard != nullptr;
    SetEvent(te_started);
    while (keyboard && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    }
    if (keyboard) UnhookWindowsHookEx(keyboard);
    if (mouse) UnhookWindowsHookEx(mouse);
    return 0;
}

void te_input_of(INPUT* in, const te_held_key& k) {
    *in = INPUT();
    in->type = INPUT_KEYBOARD;
    in->ki.dwExtraInfo = TE_REPLAY_MARK;
    in->ki.wScan = (WORD)k.key.scanCode;
    if (k.key.vkCode == VK_PACKET) {
        in->ki.dwFlags = KEYEVENTF_UNICODE;
    } else {
        in->ki.wVk = (WORD)k.key.vkCode;
        if (k.key.flags & LLKHF_EXTENDED) in->ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    }
    if (k.up) in->ki.dwFlags |= KEYEVENTF_KEYUP;
}

bool te_held_has(const std::vector<te_held_key>& held, DWORD vk) {
    for (const te_held_key& k : held)
        if (k.key.vkCode == vk) return true;
    return false;
}

// The keys for one round of the hold's end: the first round presses again
// the modifiers the user still holds that the typing released. Shared lock
// held.
std::vector<te_held_key> te_take_round_locked(bool first) {
    std::vector<te_held_key> round;
    if (first) {
        for (DWORD vk : te_shared.let_go)
            if (te_shared.user_down[vk] && !te_held_has(te_shared.held, vk)) round.push_back({{vk, 0, 0, 0, 0}, false});
        te_shared.let_go.clear();
    }
    round.insert(round.end(), te_shared.held.begin(), te_shared.held.end());
    if (!te_shared.held.empty()) te_wipe(te_shared.held.data(), te_shared.held.size() * sizeof(te_held_key));
    te_shared.held.clear();
    return round;
}

// Sends the keys again and waits until the hook has seen them all.
void te_replay(std::vector<te_held_key>& round) {
    std::vector<INPUT> inputs(round.size());
    for (size_t i = 0; i < round.size(); i++) te_input_of(&inputs[i], round[i]);
    long target = te_replays_seen.load() + (long)round.size();
    UINT sent = SendInput((UINT)inputs.size(), inputs.data(), (int)sizeof(INPUT));
    te_wipe(inputs.data(), inputs.size() * sizeof(INPUT));
    te_wipe(round.data(), round.size() * sizeof(te_held_key));
    if (sent != inputs.size()) return;
    ULONGLONG deadline = GetTickCount64() + TE_REPLAY_WAIT_MS;
    while (te_replays_seen.load() < target && GetTickCount64() < deadline) Sleep(1);
}

// The modifiers' own keys (not the either-side codes VK_SHIFT, VK_CONTROL,
// VK_MENU), which a release for the typing may need to press again.
bool te_is_sided_modifier(int vk) {
    return vk == VK_LSHIFT || vk == VK_RSHIFT || vk == VK_LCONTROL || vk == VK_RCONTROL || vk == VK_LMENU ||
           vk == VK_RMENU || vk == VK_LWIN || vk == VK_RWIN;
}

}  // namespace

int te_key_hook_open(bool synthetic) {
    if (te_thread) return te_hook_live.load() ? 1 : 0;
    te_synthetic = synthetic;
    te_own_downs = 0;
    te_own_ups = 0;
    if (!te_arrived) te_arrived = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!te_started) te_started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!te_arrived || !te_started) return 0;
    ResetEvent(te_started);
    te_thread = thread_launch(te_hook_thread, nullptr);
    if (!te_thread) return 0;
    WaitForSingleObject(te_started, INFINITE);
    return te_hook_live.load() ? 1 : 0;
}

int te_key_hook_pending(void) {
    std::lock_guard<std::mutex> g(te_shared.lock);
    return te_shared.queue.count != 0;
}

HANDLE te_key_hook_arrived(void) { return te_hook_live.load() ? te_arrived : nullptr; }

void te_key_hook_expect_own(int units) {
    if (!te_hook_live) return;
    te_own_downs += units;
    te_own_ups += units;
}

int te_key_hook_let_go_in_hold(void) {
    {
        std::lock_guard<std::mutex> g(te_shared.lock);
        if (!te_shared.holding) return 0;
    }
    std::vector<INPUT> ups;
    std::vector<DWORD> modifiers;
    for (int vk = 0x08; vk <= 0xFE; vk++) {
        if (!te_win32_key_is_down(vk)) continue;
        INPUT in = INPUT();
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = (WORD)vk;
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        in.ki.dwExtraInfo = TE_OWN_INPUT_MARK;
        ups.push_back(in);
        if (te_is_sided_modifier(vk)) modifiers.push_back((DWORD)vk);
    }
    if (!ups.empty()) SendInput((UINT)ups.size(), ups.data(), (int)sizeof(INPUT));
    std::lock_guard<std::mutex> g(te_shared.lock);
    te_shared.let_go = modifiers;
    return 1;
}

int te_win32_watch_next_key(te_key_event* out) {
    std::lock_guard<std::mutex> g(te_shared.lock);
    return te_key_queue_pop(&te_shared.queue, out);
}

int te_win32_keys_hold_begin(void) {
    if (!te_hook_live) return TE_HOLD_NONE;
    std::lock_guard<std::mutex> g(te_shared.lock);
    te_shared.holding = true;
    te_shared.held_since = GetTickCount64();
    te_shared.let_go.clear();
    return TE_HOLD_ON;
}

void te_key_hook_hold_expire(void) {
    {
        std::lock_guard<std::mutex> g(te_shared.lock);
        if (!te_shared.holding || GetTickCount64() - te_shared.held_since < (ULONGLONG)TE_HOLD_MAX_MS) return;
    }
    te_win32_keys_hold_end();
}

// Rounds until no key came during the last: a key the user presses while
// the held ones are sent again is held too, and goes after them.
void te_win32_keys_hold_end(void) {
    for (int i = 0; i < TE_REPLAY_ROUNDS; i++) {
        std::vector<te_held_key> round;
        {
            std::lock_guard<std::mutex> g(te_shared.lock);
            if (!te_shared.holding) return;
            round = te_take_round_locked(i == 0);
            if (round.empty() || i == TE_REPLAY_ROUNDS - 1) te_shared.holding = false;
        }
        if (round.empty()) return;
        te_replay(round);
    }
}

void te_key_hook_close(void) {
    te_win32_keys_hold_end();
    if (te_thread) {
        PostThreadMessageW(te_thread_id, WM_QUIT, 0, 0);
        thread_join(te_thread);
    }
    te_thread = nullptr;
    te_thread_id = 0;
    te_hook_live = false;
    te_own_downs = 0;
    te_own_ups = 0;
    std::lock_guard<std::mutex> g(te_shared.lock);
    te_key_queue_wipe(&te_shared.queue);
    te_shared.holding = false;
    te_shared.held.clear();
    te_shared.let_go.clear();
    std::memset(te_shared.user_down, 0, sizeof te_shared.user_down);
}
