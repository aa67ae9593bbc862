// The one narrow interface between the engine and the operating system.
//
// The engine calls only what is declared here. What depends on the desktop
// (typing, the clipboard, the program in front, keys) is one table of
// functions per desktop, te_desktop below: x11, wayland and none on Linux
// (one library holds them all and picks one when it first needs it,
// desktop_choice.h), win32 on Windows, fake (in-process, driven by the
// tests). The free functions of the desktop sections each call the member
// of that name of the desktop in use (desktop_calls.cpp). Files, threads
// and the clock are plain functions, one set per system. Nothing in this
// header depends on a platform header.
//
// Text results are written into buffers the caller owns, given with their
// size in bytes (NUL included). A function either fills the buffer with a
// whole NUL-terminated text and returns it, or returns null: never a
// partial text, never a write past `size`. No function here sets the
// engine's last-error text.
#ifndef TE_PLATFORM_H
#define TE_PLATFORM_H

#include <cstdint>
#include <cstdio>
#include <ctime>

// ---- Keyboard output ---------------------------------------------------
// Types `text` (UTF-8) into the focused window as Unicode keystrokes,
// once no key is held: it waits for that (key_release.h), then releases
// what is still held, and never presses a key it did not type itself.
// During a hold of the user's keys (keys_hold_begin below) nothing the user
// does reaches the window: the typing then only releases the modifiers
// still down and starts at once.
//   0  every batch was accepted
//  -1  nothing to type (null/empty text, no characters, no memory)
//  -2  the system refused a batch (earlier batches stay typed), or the
//      text holds a character this desktop cannot type (nothing typed)
//  -3  nothing typed: dry_run is nonzero, or no window is in front
//  -4  nothing typed: the window in front would drop the keystrokes
//      unseen (Windows: its program runs at a higher integrity level)
// The text test comes first, then dry_run, then the window.
int type_text_utf8(const char* text, int dry_run);

// Erases the `erase_count` characters before the cursor with one BackSpace
// each, then types `text` (may be empty) as type_text_utf8 does. Results as
// type_text_utf8; -1 only when there is neither anything to erase nor a
// character to type; and, during a hold of the user's keys
// (keys_hold_begin), -5: nothing typed, a click came since the hold began
// and may have moved the cursor away from what was to be erased. Keys mode
// uses it to replace a trigger the user has just typed. A key watch
// (below) never reports the keystrokes of either call, from whichever
// thread.
enum { TE_TYPING_CLICKED = -5 };
int type_replacing(int erase_count, const char* text, int dry_run);

// Presses one key `count` times, as the engine's own keystrokes: the caret
// keys a snippet needs after its text is typed (Left moves the caret back
// over one character, Delete removes the character after the caret).
// Results as type_text_utf8; -1 when count <= 0 or the key is unknown. A
// key watch never reports these presses.
enum { TE_PRESS_LEFT = 1, TE_PRESS_DELETE = 2 };
int press_key(int key, int count, int dry_run);

// ---- Clipboard and program in front ------------------------------------
// The clipboard's text as UTF-8 into out[size]; null when there is none,
// it does not fit with its NUL, or size <= 1 (then out is not touched).
char* get_clipboard_text_utf8(char* out, int size);

// A number that changes whenever the clipboard's content changes (the
// system's clipboard sequence number), or 0 when this desktop cannot tell.
// Lets a poller skip reading a clipboard that cannot have changed.
std::uint32_t clipboard_sequence(void);

// The executable file name of the program that owns the foreground window,
// UTF-8, ASCII letters upper-cased (e.g. "NOTEPAD.EXE"); null on failure.
const char* foreground_process_name(char* out, int size);

// 1 when the window in front belongs to this very process (a window or a
// dialog of the host itself), else 0 (also when it cannot be told).
int foreground_is_this_process(void);

// ---- Hotkey ----------------------------------------------------------------
// 1 on the poll at which the chord (e.g. "CTRL+SHIFT+E") goes from released
// to held, else 0. The parse and the edge detection are portable
// (hotkey_poll.cpp); backends provide only key_is_down below.
int hotkey_pressed_now(const char* chord);

// Backend primitive: 1 while the key with this Windows virtual-key code is
// held down (VK_CONTROL 17, VK_MENU 18, VK_SHIFT 16, VK_LWIN 91,
// VK_RWIN 92, letters, digits, F-keys and the named keys), else 0.
int key_is_down(int vk);

// ---- Waiting for the desktop -------------------------------------------
// The worker's thread watches the desktop instead of sleeping. Only the
// thread that opened the watch may wait on it; watch_wake is for any thread.
// TE_WATCH_SYNTHETIC_KEYS goes with TE_WATCH_KEYS: without it the key watch
// reports only what the user does on the keyboards and mice themselves,
// and leaves out what other programs inject (XTest on X11, input flagged
// LLKHF_INJECTED on Windows: a password manager's auto-type, xdotool, an
// on-screen keyboard, another process's te_expand); with it those count
// as the user's too. TE_WATCH_KEY_STATES reports that a key of any
// keyboard (injected ones included) may have gone down or up: the hotkey
// poll need only look then.
enum { TE_WATCH_CLIPBOARD = 1, TE_WATCH_KEYS = 2, TE_WATCH_SYNTHETIC_KEYS = 4, TE_WATCH_KEY_STATES = 8 };
// Opens notifications for `what` on the calling thread; returns the bits
// this desktop can deliver (0 when none: the worker then sleeps and polls).
// A bit returned is a promise: every change of that kind ends a wait, also
// one without a time limit, for as long as the watch is open (a desktop
// whose connection broke reports the bit once it is back, as anything may
// have changed meanwhile). The worker relies on it to sleep until
// something happens when the watch delivers all its mode needs.
// A key watch whose desktop refuses a connection (an X server starting or
// resetting) is tried again for about two seconds before it counts as
// unavailable.
int watch_open(int what);
// watch_wait's `ms` for a wait without a time limit. It is also the
// longest int, so a desktop that reads it as milliseconds (24 days) waits
// as long in practice.
enum { TE_WAIT_FOREVER = 0x7FFFFFFF };
// Sleeps until something watched may have changed, watch_wake() is
// called, or `ms` pass (TE_WAIT_FOREVER: no limit). Returns the TE_WATCH_*
// bits that may have changed (0: timeout or wake). Every notification
// pending when it returns is consumed, so a burst of changes costs one
// return.
int watch_wait(int ms);
// Any thread: ends the current, or else the next, watch_wait at once.
void watch_wake(void);
// Ends the watch opened on this thread.
void watch_close(void);

// One thing the user did at the keyboard or mouse, as the key watch saw it.
// The engine's own keystrokes (type_text_utf8, type_replacing) are never
// reported.
enum {
    TE_KEY_TEXT = 1,   // `text`: UTF-8 of the character(s) typed
    TE_KEY_BACKSPACE,  // BackSpace without Ctrl, Alt or Super
    TE_KEY_RESET,      // Enter, Tab, Escape, arrows, Home/End/PageUp/PageDown,
                       // a mouse click, a change of the program in front, a
                       // key pressed with Ctrl, Alt or Super
};
struct te_key_event {
    int kind;
    // NUL-terminated. TE_KEY_TEXT: what was typed. TE_KEY_RESET: "\n" for
    // Enter and "\t" for Tab pressed on their own (they end a word, and
    // what they typed can be typed again), else empty.
    char text[16];
};
// With TE_WATCH_KEYS open: 1 and the oldest key event gathered by the waits
// so far, 0 when none is left. watch_wait reports TE_WATCH_KEYS while any
// is left.
int watch_next_key(te_key_event* out);

// ---- Holding the user's keys -----------------------------------------------
// While keys mode replaces a trigger, what the user goes on typing is held
// back from the window and given to it afterwards, so that it lands after
// the expansion in the order typed. Only the thread that opened the key
// watch holds keys, and only while it is open.
enum {
    TE_HOLD_REFUSED = -1,  // another program holds the keyboard (a password
                           // prompt, a screen locker): type nothing there
    TE_HOLD_NONE = 0,      // no hold is possible now: the typing goes unheld
    TE_HOLD_ON = 1,
};
// The longest a hold keeps the user's keys: it ends by itself once it has
// lasted this long, in the middle of a typing or of any wait of it if need
// be (the typing then goes on, with the user's keys reaching the window).
enum { TE_HOLD_MAX_MS = 1000 };
// Starts holding the user's keys and returns once the hold is in effect:
// every key event the window received before then is in the watch's queue
// (watch_next_key) behind those already there, and none of the keys held
// back is. The Wayland desktop reads the keyboards but cannot hold them:
// it returns TE_HOLD_NONE once no key is down (waiting at most about a
// second) and every key event read so far is in the queue.
int keys_hold_begin(void);
// Ends the hold (nothing when none is on): the keys held back go to the
// window in the order they were pressed, after everything typed during
// the hold, and reach the watch's queue as the user's typing as they do.
// A modifier (Shift, AltGr, Ctrl, Alt, Super) the user still holds then
// applies to the next key, as it would have without the hold.
void keys_hold_end(void);

// ---- What the desktop can do -------------------------------------------
// What a worker needs of the desktop: typing (every mode), the clipboard
// (clipboard and hotkey modes), the key watch (keys mode), the states of
// the keys (hotkey mode); with TE_NEED_KEYS, TE_NEED_SYNTHETIC_KEYS says
// that keys other programs inject count too (TE_WATCH_SYNTHETIC_KEYS), so
// a virtual keyboard is keyboard enough.
enum {
    TE_NEED_TYPING = 1,
    TE_NEED_CLIPBOARD = 2,
    TE_NEED_KEYS = 4,
    TE_NEED_KEY_STATES = 8,
    TE_NEED_SYNTHETIC_KEYS = 16,
};
// Asked before a worker starts. 0 when this desktop has what `needs`
// names, or cannot tell before trying; otherwise 1 and one sentence into
// why[size] (cut to fit) saying what is missing and what the user can do.
int desktop_missing(int needs, char* why, int size);

// ---- The desktop in use ------------------------------------------------------
// One desktop's functions, each as its free function above describes
// (`missing` is desktop_missing). Every desktop fills every member.
struct te_desktop {
    const char* name;  // "x11", "wayland", "none", "win32", "fake"
    int (*type_text_utf8)(const char* text, int dry_run);
    int (*type_replacing)(int erase_count, const char* text, int dry_run);
    int (*press_key)(int key, int count, int dry_run);
    char* (*get_clipboard_text_utf8)(char* out, int size);
    std::uint32_t (*clipboard_sequence)(void);
    const char* (*foreground_process_name)(char* out, int size);
    int (*key_is_down)(int vk);
    int (*watch_open)(int what);
    int (*watch_wait)(int ms);
    void (*watch_wake)(void);
    void (*watch_close)(void);
    int (*watch_next_key)(te_key_event* out);
    int (*keys_hold_begin)(void);
    void (*keys_hold_end)(void);
    int (*missing)(int needs, char* why, int size);
    int (*foreground_is_this_process)(void);
};

// The desktop this process uses: chosen on the first call, from any
// thread, and the same for the life of the process. Never fails: with no
// desktop to serve, the one named "none" (nothing to type into, no
// clipboard, no keys).
const te_desktop& te_desktop_in_use(void);

// The `missing` of the desktops that can tell nothing before a worker
// starts: 0, why[0] emptied.
int te_desktop_lacks_nothing(int needs, char* why, int size);

// ---- Threads and clock -----------------------------------------------------
typedef void* te_thread_handle;
typedef unsigned (*te_thread_start)(void* arg);

// Starts start(arg) on a new thread at once; null when none was created.
// While the thread runs it keeps the library loaded, so a host that unloads
// the library without stopping the worker does not pull code from under it.
te_thread_handle thread_launch(te_thread_start start, void* arg);
// Waits for the thread to end and releases the handle; null does nothing.
void thread_join(te_thread_handle handle);
void thread_sleep_ms(int ms);
// Monotonic milliseconds since an arbitrary start (system boot on Windows).
std::uint64_t now_millis(void);
// Local date and time into tm_sec..tm_wday; tm_yday and tm_isdst untouched.
void now_local(struct tm* out);

// ---- Calendar names and letter case ---------------------------------------
// The words a date is written with in one locale, UTF-8, NUL-terminated
// (a word that does not fit is left empty).
struct te_time_names {
    char month[12][48];        // as it follows a day number ("9 December")
    char month_alone[12][48];  // standing alone (the same in most languages)
    char month_abbr[12][32];
    char day[7][48];           // day[0] is Sunday
    char day_abbr[7][32];
    char am[24], pm[24];       // empty where the locale writes none
};
// Fills *out for `locale`: null or "" for the user's (LC_ALL, LC_TIME, LANG
// on POSIX; the user's locale on Windows; English when it names none that
// is known), else a name such as "de_DE", "de-DE" or "fr_FR.UTF-8" ("C"
// and "POSIX": English). 1 on success; 0 when no such locale is known here
// (*out untouched). Any thread.
int time_names(const char* locale, te_time_names* out);

// The upper-case and lower-case forms of one Unicode code point (simple
// case mapping, every script with case); the code point itself when it has
// none. Any thread.
std::uint32_t char_upper(std::uint32_t cp);
std::uint32_t char_lower(std::uint32_t cp);

// ---- Files -----------------------------------------------------------------
// Paths are UTF-8. The store makes every file call through the table that
// te_files() returns, so that tests can put a fault into any one of them
// (files_seam.h); each backend fills the table with the system's calls.
// Streams are used with stdio.

// How an open for reading ended.
enum te_open_status {
    TE_OPEN_OK,
    // Nothing is at the path: no such file, a missing folder on the way, or
    // something other than a regular file (a folder holds no content that
    // could be read or kept).
    TE_OPEN_NOT_FOUND,
    // A file is there but could not be opened now: too many open files, no
    // permission, a sharing violation, an I/O error...
    TE_OPEN_FAILED,
};

// What tells one version of a file from another. The store never changes a
// file in place (it replaces it whole), so two equal stamps of one path mean
// the same content.
struct te_file_stamp {
    int exists;             // 0: no regular file at the path; all else is 0
    std::uint64_t volume;   // device (POSIX), volume serial number (Windows)
    std::uint64_t index;    // inode (POSIX), file index (Windows)
    std::int64_t size;
    std::int64_t mtime_sec;
    std::int64_t mtime_nsec;
};

// 1 when two stamps name one version of a file. The library and the desktop
// hosts tell file versions apart with this one test.
inline int te_file_stamp_equal(const te_file_stamp& a, const te_file_stamp& b) {
    return a.exists == b.exists && a.volume == b.volume && a.index == b.index && a.size == b.size &&
           a.mtime_sec == b.mtime_sec && a.mtime_nsec == b.mtime_nsec;
}

enum te_lock_status {
    TE_LOCK_TAKEN,
    TE_LOCK_BUSY,         // another process kept it for the whole wait
    TE_LOCK_UNAVAILABLE,  // the lock file cannot be opened or locked at all
};
// A cross-process lock that is held: a descriptor or a handle.
typedef std::intptr_t te_file_lock;

struct te_file_calls {
    // Opens a regular file for binary reading; null unless *status is
    // TE_OPEN_OK. `stamp` (may be null) receives the stamp of the file
    // opened, or a stamp with exists 0.
    FILE* (*open_read)(const char* path, te_open_status* status, te_file_stamp* stamp);
    // Creates a new file of its own beside the file `target` finally names
    // (a symbolic link followed, on POSIX; same folder, named
    // "<that file>.<unique>.tmp"), exclusively (never an existing file) and
    // readable and writable by its user alone whatever the umask, open for
    // binary writing. Its path goes into name[size], also when the creation
    // fails (then the last name tried, and null is returned).
    FILE* (*create_temp)(const char* target, char* name, int size);
    // Flushes the stream's data to the disk (not just to the OS) and closes
    // it. 0 on success; the stream is closed either way. `stamp` (may be
    // null) receives the stamp of the file as written.
    int (*commit_close)(FILE* f, te_file_stamp* stamp);
    // The stamp of what is at `path` now (exists 0 when nothing is). 0 on
    // success, -1 when it cannot be told.
    int (*stamp)(const char* path, te_file_stamp* out);
    // Replaces the file `to` finally names (as create_temp names it) with
    // `from` in one atomic step, so a link at `to` stays; it need not exist.
    // 0 on success; on failure both files are left as they were.
    int (*replace)(const char* from, const char* to);
    // Makes the replaces done in the folder holding the file `path` finally
    // names (as create_temp names it) survive a power cut. 0 on success,
    // also where the system or the file system has no such step; -1 when
    // the system reported a failure.
    int (*sync_folder)(const char* path);
    int (*remove)(const char* path);  // 0 on success
    // Creates every missing directory above the file named by `path`,
    // shortest prefix first, splitting at this platform's separators; on
    // POSIX readable by their user alone (0700). Failures ignored.
    void (*make_parent_dirs)(const char* path);
    // Takes the exclusive advisory lock that guards the file `path`
    // finally names (as create_temp names it): a lock on "<that file>.lock"
    // (created with mode 0600 when missing), so a host naming a store
    // through a link and one naming its target keep each other out.
    // Waits at most about wait_ms for another process to let it go. *out
    // is set when TE_LOCK_TAKEN.
    te_lock_status (*lock)(const char* path, int wait_ms, te_file_lock* out);
    void (*unlock)(te_file_lock lock);
};

// The file calls in force: the system's, unless a test swapped them.
const te_file_calls& te_files(void);

// The default store path under the user's application-data folder, into
// out[size]. 0 when no such folder is known or the path does not fit.
int default_store_path(char* out, int size);

// The store file used when none is named: default_store_path, else
// "snippets.json" in the current folder. The library and the desktop hosts
// both compile this one definition, so they always name one file (and so
// one lock and one rules file beside it).
const int TE_STORE_PATH_CAP = 1024;
inline void te_store_path_default(char (&out)[TE_STORE_PATH_CAP]) {
    if (!default_store_path(out, TE_STORE_PATH_CAP)) std::snprintf(out, TE_STORE_PATH_CAP, "%s", "snippets.json");
}

#endif
