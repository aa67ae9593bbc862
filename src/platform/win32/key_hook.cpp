#include "key_hook.h"

#include "held_keys.h"
#include "key_queue.h"
#include "keyboard_seam.h"
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

// Keys sent again that have not come back through the hook after this long
// are taken as lost (another program's hook kept them); the hook thread
// looks this often while keys are sent again, and drops keys the system
// has refused this long.
const ULONGLONG TE_REPLAY_LOST_MS = 500;
const UINT TE_REPLAY_TICK_MS = 20;
const ULONGLONG TE_REPLAY_GIVE_UP_MS = 1000;
// How long a hold's end and begin wait for the keys sent again.
const ULONGLONG TE_REPLAY_WAIT_MS = 1000;
// Asks the hook thread to send the keys that wait.
const UINT TE_MSG_REPLAY = WM_APP + 1;

// One key event the hook held back.
struct te_held_key {
    KBDLLHOOKSTRUCT key;
    bool up;
};

// One of the user's keys as the hook saw it last.
struct te_user_key {
    bool seen;
    bool down;
    WORD scan;
    bool extended;
};

// What the hook thread and the worker share. `lock` guards every field
// below it; the hook decides whether to hold a key and queues its event
// under it, so a hold begun under it sees every key before it queued, and
// the replay ends under it, so no key of the user's overtakes one sent
// again.
struct te_hook_shared {
    std::mutex lock;
    te_key_queue queue;
    bool holding = false;
    ULONGLONG held_since = 0;
    // The user's keys that wait for the window, in the order they came:
    // held back during a hold, or come while held ones are sent again.
    std::vector<te_held_key> held;
    // From a hold's end until every key sent again has come back through
    // the hook and none waits: meanwhile the user's keys queue in `held`.
    bool replaying = false;
    int in_flight = 0;            // keys sent again, not back yet
    ULONGLONG sent_at = 0;        // when the last of them were sent
    ULONGLONG refused_since = 0;  // 0, or since when the system refuses them
    // The user's keys by the code of their side (VK_LSHIFT, not VK_SHIFT),
    // held ones included, which were down when the hold began, and how many
    // keys waited then (still on their way from an earlier hold).
    te_user_key keys[256] = {};
    bool down_at_hold[256] = {};
    size_t held_at_hold = 0;
    // Modifiers the typing let go of during the hold, as presses.
    std::vector<te_held_key> let_go;
};
te_hook_shared te_shared;

// The hook thread's own state: only the hook thread touches it.
struct te_hook_state {
    HWND front = nullptr;  // the window in front at the last key
    wchar_t accent = 0;    // a dead key waiting for its next key
    wchar_t high = 0;      // the first half of a surrogate pair typed as VK_PACKET
    UINT_PTR tick = 0;     // the timer that runs while keys are sent again
};
te_hook_state te_hook;

// Run control, shared with any thread through atomics; the thread's handle
// and id are set and cleared by the watching thread only.
std::atomic<bool> te_hook_live{false};
std::atomic<bool> te_synthetic{false};
std::atomic<int> te_own_downs{0};
std::atomic<int> te_own_ups{0};
te_thread_handle te_thread = nullptr;
DWORD te_thread_id = 0;
HANDLE te_arrived = nullptr;  // auto-reset
HANDLE te_started = nullptr;  // manual-reset
std::atomic<te_set_hook_fn> te_install{SetWindowsHookExW};

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

// The code of the side a modifier key is on, as the system counts it
// down (VK_LSHIFT for a VK_SHIFT of the left key); other keys as they are.
DWORD te_side_of(const KBDLLHOOKSTRUCT& key) {
    bool extended = (key.flags & LLKHF_EXTENDED) != 0;
    switch (key.vkCode) {
    case VK_SHIFT: return key.scanCode == 0x36 ? VK_RSHIFT : VK_LSHIFT;
    case VK_CONTROL: return extended ? VK_RCONTROL : VK_LCONTROL;
    case VK_MENU: return extended ? VK_RMENU : VK_LMENU;
    default: return key.vkCode;
    }
}

// A key sent again is back: after the last one the replay ends, or the
// keys that came meanwhile are sent next. Shared lock held; hook thread.
void te_replay_back_locked(void) {
    if (te_shared.in_flight > 0) te_shared.in_flight--;
    if (!te_shared.replaying || te_shared.in_flight > 0 || te_shared.holding) return;
    if (te_shared.held.empty()) te_shared.replaying = false;
    else PostThreadMessageW(GetCurrentThreadId(), TE_MSG_REPLAY, 0, 0);
}

// 1 when the key is held back.
bool te_take_key(WPARAM wp, const KBDLLHOOKSTRUCT& key) {
    bool up = wp == WM_KEYUP || wp == WM_SYSKEYUP;
    if (!te_counts(key, up)) return false;
    bool replay = key.dwExtraInfo == TE_REPLAY_MARK;
    std::lock_guard<std::mutex> g(te_shared.lock);
    DWORD side = te_side_of(key);
    if (replay) te_replay_back_locked();
    else if (side < 256) te_shared.keys[side] = {true, !up, (WORD)key.scanCode, (key.flags & LLKHF_EXTENDED) != 0};
    if (!replay && (te_shared.holding || te_shared.replaying)) {
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

// Sends the keys that wait, unless keys sent before are still on their
// way or a hold is on. Hook thread.
void te_send_waiting(void);

// The hook thread: installs the hooks, says whether they are in place,
// sends the held keys again when asked, and lets the system call the hooks
// until it is told to quit.
unsigned te_hook_thread(void*) {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue a quit is posted to
    te_thread_id = GetCurrentThreadId();
    HMODULE module = te_own_module();
    te_set_hook_fn install = te_install.load();
    HHOOK keyboard = install(WH_KEYBOARD_LL, te_keyboard_proc, module, 0);
    HHOOK mouse = install(WH_MOUSE_LL, te_mouse_proc, module, 0);
    te_hook = te_hook_state();
    te_hook.front = GetForegroundWindow();
    te_hook_live = keyboard != nullptr;
    SetEvent(te_started);
    while (keyboard && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!msg.hwnd && (msg.message == TE_MSG_REPLAY || msg.message == WM_TIMER)) te_send_waiting();
    }
    if (te_hook.tick) KillTimer(nullptr, te_hook.tick);
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

// The modifiers' own keys (not the either-side codes VK_SHIFT, VK_CONTROL,
// VK_MENU), which a release for the typing may need to press again.
bool te_is_sided_modifier(int vk) {
    return vk == VK_LSHIFT || vk == VK_RSHIFT || vk == VK_LCONTROL || vk == VK_RCONTROL || vk == VK_LMENU ||
           vk == VK_RMENU || vk == VK_LWIN || vk == VK_RWIN;
}

// The hold's end: the modifiers the typing let go of that the user held
// when the hold began are pressed again before the keys held since, so
// each key reaches the window with the modifiers the user held for it, and
// a modifier the user let go of meanwhile is let go of again after them.
// Shared lock held.
void te_press_again_locked(void) {
    std::vector<te_held_key> presses;
    for (const te_held_key& m : te_shared.let_go)
        if (te_shared.down_at_hold[m.key.vkCode]) presses.push_back(m);
    size_t at = te_shared.held_at_hold < te_shared.held.size() ? te_shared.held_at_hold : te_shared.held.size();
    te_shared.held.insert(te_shared.held.begin() + (long)at, presses.begin(), presses.end());
    te_shared.let_go.clear();
}

// Empties the keys that wait, overwriting what they held. Shared lock held.
void te_wipe_held_locked(void) {
    if (!te_shared.held.empty()) te_wipe(te_shared.held.data(), te_shared.held.size() * sizeof(te_held_key));
    te_shared.held.clear();
}

enum te_round { TE_ROUND_IDLE, TE_ROUND_WAIT, TE_ROUND_SEND };

// Takes the keys that wait into `round` when they can go now.
te_round te_take_round(std::vector<te_held_key>* round) {
    std::lock_guard<std::mutex> g(te_shared.lock);
    if (!te_shared.replaying || te_shared.holding) return TE_ROUND_IDLE;
    ULONGLONG now = GetTickCount64();
    if (te_shared.in_flight > 0 && now - te_shared.sent_at >= TE_REPLAY_LOST_MS) te_shared.in_flight = 0;
    if (te_shared.in_flight > 0) return TE_ROUND_WAIT;
    if (te_shared.refused_since && now - te_shared.refused_since >= TE_REPLAY_GIVE_UP_MS) {
        // The system keeps refusing them: they are given up, and the watch
        // hears of it as of any break in the typing.
        te_wipe_held_locked();
        te_shared.refused_since = 0;
        te_reset();
    }
    if (te_shared.held.empty()) {
        te_shared.replaying = false;
        return TE_ROUND_IDLE;
    }
    round->swap(te_shared.held);
    te_shared.in_flight = (int)round->size();
    te_shared.sent_at = now;
    return TE_ROUND_SEND;
}

// Sends the round marked as replayed keys. What the system does not take
// waits at the head of the keys, to be tried again at the next tick.
void te_send_round(std::vector<te_held_key>& round) {
    std::vector<INPUT> inputs(round.size());
    for (size_t i = 0; i < round.size(); i++) te_input_of(&inputs[i], round[i]);
    size_t sent = te_keyboard_send((UINT)inputs.size(), inputs.data());
    te_wipe(inputs.data(), inputs.size() * sizeof(INPUT));
    std::lock_guard<std::mutex> g(te_shared.lock);
    if (sent >= round.size()) {
        te_shared.refused_since = 0;
    } else {
        int unsent = (int)(round.size() - sent);
        te_shared.in_flight = te_shared.in_flight > unsent ? te_shared.in_flight - unsent : 0;
        te_shared.held.insert(te_shared.held.begin(), round.begin() + (long)sent, round.end());
        if (!te_shared.refused_since) te_shared.refused_since = GetTickCount64();
    }
    te_wipe(round.data(), round.size() * sizeof(te_held_key));
}

void te_send_waiting(void) {
    std::vector<te_held_key> round;
    te_round step = te_take_round(&round);
    if (step == TE_ROUND_IDLE) {
        if (te_hook.tick) KillTimer(nullptr, te_hook.tick);
        te_hook.tick = 0;
        return;
    }
    if (!te_hook.tick) te_hook.tick = SetTimer(nullptr, 0, TE_REPLAY_TICK_MS, nullptr);
    if (step == TE_ROUND_SEND) te_send_round(round);
}

// Waits until the keys sent again have all come back and none waits, at
// most TE_REPLAY_WAIT_MS.
void te_wait_replayed(void) {
    ULONGLONG deadline = GetTickCount64() + TE_REPLAY_WAIT_MS;
    for (;;) {
        {
            std::lock_guard<std::mutex> g(te_shared.lock);
            if (!te_shared.replaying) return;
        }
        if (GetTickCount64() >= deadline) return;
        Sleep(1);
    }
}

// Asks a hook thread that has ended (its hook refused) or is to end to
// quit, and joins it.
void te_end_hook_thread(void) {
    if (te_thread) {
        PostThreadMessageW(te_thread_id, WM_QUIT, 0, 0);
        thread_join(te_thread);
    }
    te_thread = nullptr;
    te_thread_id = 0;
    te_hook_live = false;
}

}  // namespace

int te_key_hook_open(bool synthetic) {
    if (te_thread && te_hook_live.load()) return 1;
    te_end_hook_thread();
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
    if (te_hook_live.load()) return 1;
    te_end_hook_thread();  // the next open tries again
    return 0;
}

te_set_hook_fn te_key_hook_swap_install(te_set_hook_fn install) { return te_install.exchange(install); }

int te_key_hook_pending(void) {
    std::lock_guard<std::mutex> g(te_shared.lock);
    return te_shared.queue.count != 0;
}

HANDLE te_key_hook_arrived(void) { return te_hook_live.load() ? te_arrived : nullptr; }

void te_key_hook_expect_own(int downs, int ups) {
    if (!te_hook_live) return;
    te_own_downs += downs;
    te_own_ups += ups;
}

int te_key_hook_sent_as(int vk, WORD* scan, bool* extended) {
    if (vk < 0 || vk > 255) return 0;
    std::lock_guard<std::mutex> g(te_shared.lock);
    const te_user_key& k = te_shared.keys[vk];
    if (!k.seen) return 0;
    *scan = k.scan;
    *extended = k.extended;
    return 1;
}

int te_key_hook_let_go_in_hold(te_send_input_fn send_input) {
    {
        std::lock_guard<std::mutex> g(te_shared.lock);
        if (!te_shared.holding) return 0;
    }
    INPUT ups[TE_KEY_RELEASES_CAP];
    int n = te_releases_of_keys_down(ups, TE_OWN_INPUT_MARK);
    if (n) send_input((UINT)n, ups, (int)sizeof(INPUT));
    std::lock_guard<std::mutex> g(te_shared.lock);
    for (int i = 0; i < n; i++) {
        DWORD vk = ups[i].ki.wVk;
        bool known = false;
        for (const te_held_key& m : te_shared.let_go) known = known || m.key.vkCode == vk;
        if (!te_is_sided_modifier((int)vk) || known) continue;
        DWORD flags = (ups[i].ki.dwFlags & KEYEVENTF_EXTENDEDKEY) ? LLKHF_EXTENDED : 0;
        te_shared.let_go.push_back({{vk, ups[i].ki.wScan, flags, 0, 0}, false});
    }
    return 1;
}

int te_win32_watch_next_key(te_key_event* out) {
    std::lock_guard<std::mutex> g(te_shared.lock);
    return te_key_queue_pop(&te_shared.queue, out);
}

int te_win32_keys_hold_begin(void) {
    if (!te_hook_live) return TE_HOLD_NONE;
    te_wait_replayed();
    std::lock_guard<std::mutex> g(te_shared.lock);
    te_shared.holding = true;
    te_shared.held_since = GetTickCount64();
    te_shared.let_go.clear();
    for (int vk = 0; vk < 256; vk++) te_shared.down_at_hold[vk] = te_shared.keys[vk].down;
    te_shared.held_at_hold = te_shared.held.size();
    return TE_HOLD_ON;
}

void te_key_hook_hold_expire(void) {
    {
        std::lock_guard<std::mutex> g(te_shared.lock);
        if (!te_shared.holding || GetTickCount64() - te_shared.held_since < (ULONGLONG)TE_HOLD_MAX_MS) return;
    }
    te_win32_keys_hold_end();
}

// The hook thread sends the held keys again, and goes on with the keys the
// user presses meanwhile until none is left: each is seen by the hook
// after the ones before it, so the window gets them in the order typed.
void te_win32_keys_hold_end(void) {
    {
        std::lock_guard<std::mutex> g(te_shared.lock);
        if (!te_shared.holding) return;
        te_shared.holding = false;
        te_press_again_locked();
        te_shared.replaying = te_shared.replaying || !te_shared.held.empty();
        if (!te_shared.replaying) return;
    }
    PostThreadMessageW(te_thread_id, TE_MSG_REPLAY, 0, 0);
    te_wait_replayed();
}

void te_key_hook_close(void) {
    te_win32_keys_hold_end();
    te_wait_replayed();
    te_end_hook_thread();
    te_own_downs = 0;
    te_own_ups = 0;
    std::lock_guard<std::mutex> g(te_shared.lock);
    te_key_queue_wipe(&te_shared.queue);
    te_wipe_held_locked();
    te_shared.holding = false;
    te_shared.replaying = false;
    te_shared.in_flight = 0;
    te_shared.refused_since = 0;
    te_shared.let_go.clear();
    te_wipe(te_shared.keys, sizeof te_shared.keys);
    std::memset(te_shared.down_at_hold, 0, sizeof te_shared.down_at_hold);
}
