// The key watch on Windows: low-level keyboard and mouse hooks installed on
// the worker thread, which the system calls on that thread whenever it
// looks at its messages (the watch's wait, or te_key_hook_pump). Keystrokes
// whose extra information is TE_OWN_INPUT_MARK are the engine's own typing
// and are left out, and so are the Unicode keystrokes type_text_utf8 sends
// (they carry the host's extra information, so the hook counts them off);
// everything else, injected input of other programs included, is what the
// user typed.
#ifndef TE_WIN32_KEY_HOOK_H
#define TE_WIN32_KEY_HOOK_H

#include <windows.h>

// The dwExtraInfo of every keystroke type_replacing sends.
const ULONG_PTR TE_OWN_INPUT_MARK = 0x7E1A0C0DEu;

// Installs the hooks on the calling thread; 1 when they are in place.
int te_key_hook_open(void);
// 1 while key events wait for watch_next_key.
int te_key_hook_pending(void);
// Lets the system call the hooks for the input that waits for them, when
// the calling thread installed them: input stalls while they are not called.
void te_key_hook_pump(void);
// `units` more Unicode keystrokes of the engine's (negative: fewer, when
// the system refused them) that do not carry the mark; the hook leaves out
// that many injected Unicode key presses. Any thread; nothing while no hook
// is in place.
void te_key_hook_expect_own(int units);
// Removes the hooks and wipes the events not taken.
void te_key_hook_close(void);

#endif
