// Typing starts once the user's hands are off the keyboard. A key held
// while synthetic keystrokes go out changes what they mean (Ctrl turns
// letters into shortcuts) and, if the typing released it, the user's own
// release later finds it already up and is lost. So the typing first waits,
// briefly, for every key to be let go; in hotkey mode that is the chord.
#ifndef TE_KEY_RELEASE_H
#define TE_KEY_RELEASE_H

// How long the typing waits for held keys, and how often it looks.
enum { TE_RELEASE_WAIT_MS = 1000, TE_RELEASE_POLL_MS = 4 };

// Asks held(ctx) every TE_RELEASE_POLL_MS until it answers 0 or
// TE_RELEASE_WAIT_MS have passed. 1 when no key is held at the end, 0 when
// some key still is (the caller then releases it itself).
int te_wait_keys_released(int (*held)(void* ctx), void* ctx);

#endif
