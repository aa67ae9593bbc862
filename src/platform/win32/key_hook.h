// The key watch on Windows: low-level keyboard and mouse hooks on a thread
// of their own that does nothing else (but send held keys again, below).
// The system holds every keystroke and click of the desktop until the
// hooks have answered, and removes a hook that keeps it waiting too long:
// so the hooks only turn what they see into key events (or hold it back),
// queue them for the worker, wake it and answer at once, whatever the
// worker is doing.
//
// Whose keys count: the user's own keyboards and mice (input without
// LLKHF_INJECTED). Input other programs inject is left out unless synthetic
// keys are watched. The engine's own keystrokes are always left out: those
// of type_replacing carry TE_OWN_INPUT_MARK, and the Unicode keystrokes of
// type_text_utf8 (which carry the host's extra information) are counted
// off as they were announced (te_key_hook_expect_own).
//
// Holding (keys_hold_begin, keys_hold_end): while a hold is on, the keys
// that count are swallowed by the hook and kept; the hold's end has the
// hook thread send them again with SendInput, marked TE_REPLAY_MARK, in
// the order they came, and the hook takes those as the user's keys, then.
// Keys the user presses before the last of them is back are kept too and
// sent after them, so none overtakes another. Keys the system does not
// take are tried again for a second, then given up (the watch gets a
// reset). Modifiers the typing let go of that the user held when the hold
// began are pressed again before the held keys, with the scan code and
// extended flag of the user's own press.
#ifndef TE_WIN32_KEY_HOOK_H
#define TE_WIN32_KEY_HOOK_H

#include <windows.h>

#include "keyboard_seam.h"

// The dwExtraInfo of every keystroke type_replacing sends.
const ULONG_PTR TE_OWN_INPUT_MARK = 0x7E1A0C0DEu;
// The dwExtraInfo of the user's held keys sent again.
const ULONG_PTR TE_REPLAY_MARK = 0x7E1A0C0DFu;

// Starts the hook thread and installs the hooks; 1 when they are in place.
// With `synthetic`, injected input counts as the user's. A refused hook
// leaves no thread behind: the next call tries again.
int te_key_hook_open(bool synthetic);
// 1 while key events wait for watch_next_key.
int te_key_hook_pending(void);
// An event set whenever a key event is queued, for the watch's wait; null
// while no hook is in place.
HANDLE te_key_hook_arrived(void);
// `downs` more Unicode key presses and `ups` more releases of the engine's
// (negative: fewer, when the system did not take them) that do not carry
// the mark; the hook leaves out that many injected Unicode key presses and
// releases. Any thread; nothing while no hook is in place.
void te_key_hook_expect_own(int downs, int ups);
// While a hold is on, the typing need not wait for keys to be let go: this
// sends through send_input a release, marked as the engine's own, for
// every key the system counts as down, and returns 1 (the modifiers among
// them that the user held when the hold began are pressed again at its
// end). 0 when no hold is on.
int te_key_hook_let_go_in_hold(te_send_input_fn send_input);
// How the user's keyboard sent the key with this code (VK_LSHIFT and the
// like for modifiers): 1 and its scan code and extended flag when the hook
// has seen it, else 0.
int te_key_hook_sent_as(int vk, WORD* scan, bool* extended);
// Ends the hold once it has lasted TE_HOLD_MAX_MS.
void te_key_hook_hold_expire(void);
// Stops the hook thread and wipes the events not taken.
void te_key_hook_close(void);

// The SetWindowsHookExW the hook thread installs its hooks with; tests put
// in one that refuses. Installs `install` and returns the one in place.
typedef HHOOK(WINAPI* te_set_hook_fn)(int id, HOOKPROC proc, HINSTANCE module, DWORD thread);
te_set_hook_fn te_key_hook_swap_install(te_set_hook_fn install);

#endif
