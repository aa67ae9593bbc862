// Whether this session's virtual terminal is the one in front. The key
// watch reads the keyboards themselves, so it also sees what is typed at a
// text console, or in another user's session on another terminal: those
// keys are not this session's, and nothing is typed into it meanwhile.
#ifndef TE_WL_CONSOLE_H
#define TE_WL_CONSOLE_H

// The kernel's record of the terminal in front:
// "/sys/class/tty/tty0/active"; tests point it elsewhere.
extern const char* te_wl_console_path;

// Any thread: 0 when another terminal than this session's (XDG_VTNR) is in
// front, else 1 (also when it cannot be told: no XDG_VTNR, a session
// without a terminal).
int te_wl_console_ours(void);

// Any thread: 0 while keys reach no window of this session: no window is
// activated (a lock screen or a launcher has the keyboard, by the
// compositor's word), or another terminal is in front; else 1.
int te_wl_keys_reach_session(void);

#endif
