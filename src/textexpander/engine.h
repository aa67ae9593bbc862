// The engine record and the helpers every engine file shares.
#ifndef TE_ENGINE_H
#define TE_ENGINE_H

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "ascii_case.h"
#include "platform.h"

enum {
    TE_MAX_SNIPPETS = 4096,
    TE_MAX_RULES = 1024,
    TE_TRIGGER_CAP = 256,
    TE_TEXT_CAP = 65536,
    TE_FOLDER_CAP = 128,
    TE_APPS_CAP = 512,
    TE_PROCESS_CAP = 128,
    TE_PREFIX_CAP = 32,
    TE_PATH_CAP = 1024,
    TE_HOTKEY_CAP = 128,
    TE_LAST_CAP = 256,
    TE_ERR_CAP = 256,
    TE_RESULT_CAP = 69632,
    TE_CLIPBOARD_CAP = 262144,
    TE_LOCALE_CAP = 64,
};

// What the worker watches.
enum {
    TE_MODE_CLIPBOARD = 0,  // the clipboard text, each poll
    TE_MODE_HOTKEY = 1,     // a key chord, each poll
    TE_MODE_KEYS = 2,       // what the user types, as it is typed
};

struct TeSnippet {
    char trigger[TE_TRIGGER_CAP];
    char text[TE_TEXT_CAP];
    char folder[TE_FOLDER_CAP];
    char apps[TE_APPS_CAP];
    // The snippet's own settings (snippet_settings.h): 1 on, 0 off, -1
    // (and "" for the locale) as the engine's settings say.
    signed char propagate_case;
    signed char word_triggers;
    char locale[TE_LOCALE_CAP];
};

struct TeRule {
    char process[TE_PROCESS_CAP];  // upper-cased
    int allow;                      // 0: no expansion while this program is in front
    char prefix[TE_PREFIX_CAP];     // triggers used there must begin with it
};

struct TeEngine {
    TeSnippet snippets[TE_MAX_SNIPPETS];
    int snippet_count;
    TeRule rules[TE_MAX_RULES];
    int rule_count;
    char store_path[TE_PATH_CAP];  // empty: nothing is persisted
    int mode;                      // TE_MODE_*
    int poll_ms;
    int dry_run;
    // Keys mode watches what other programs inject as well as the user's
    // own keyboards (TE_WATCH_SYNTHETIC_KEYS).
    int synthetic_keys;
    // Nothing is expanded while a window of this very process is in front
    // (foreground_is_this_process): a host never expands into itself.
    int skip_own_windows;
    // The settings for all snippets (te_start): a trigger typed with a
    // first capital or in capitals gives its text so; triggers expand only
    // once a word separator follows them; a BackSpace right after a keys-mode
    // expansion takes it back; the locale of month and day names ("" the
    // user's).
    int propagate_case;
    int word_triggers;
    int undo_backspace;
    char locale[TE_LOCALE_CAP];
    char hotkey[TE_HOTKEY_CAP];
    std::atomic<int> running;      // the worker's stop signal
    te_thread_handle worker;
    std::int64_t expanded;         // since the library was loaded
    std::int64_t today;            // since local midnight of today_date
    char last_trigger[TE_LAST_CAP];
    char last_app[TE_LAST_CAP];
    char last_expanded[TE_TEXT_CAP];
    int loaded;

    // Local date (year*10000 + month*100 + day) of the last recorded
    // expansion; `today` counts expansions on that date.
    int today_date;
    // The file at store_path held data the read could not take whole; the
    // first write that replaces it keeps it as "<store_path>.bak".
    int store_keep_backup;
    // A file is at store_path but the last read could not open or read it:
    // every edit is refused until a read succeeds, so the seeds and one
    // edit never replace a file that is probably whole on disk.
    int store_unreadable;
    // The store file as this process last read or wrote it. A different
    // stamp on disk means another process replaced it (store_read.cpp).
    te_file_stamp store_stamp;
    // now_millis() when the worker last looked for such a change.
    std::uint64_t store_followed_at;
    // Compact look-up keys beside the table, so a scan by trigger walks one
    // small array instead of every 66 KiB record. Kept by te_snippet_put.
    std::uint32_t trigger_hash[TE_MAX_SNIPPETS];
    std::uint16_t trigger_len[TE_MAX_SNIPPETS];
    // The trigger's last (up to) four bytes, so a watch pass rejects most
    // snippets without touching their records.
    std::uint32_t trigger_tail[TE_MAX_SNIPPETS];
    // What the snippet's settings and the engine's make of it: the case-
    // blind key of its trigger's tail when its case follows the typed
    // trigger's (te_fold_key), else TE_FOLD_NONE; 1 when it waits for a
    // word separator. Kept by te_snippet_put and te_snippet_flags_locked.
    std::uint32_t trigger_fold[TE_MAX_SNIPPETS];
    std::uint8_t trigger_word[TE_MAX_SNIPPETS];
    // The longest trigger's length, while trigger_len_max_known is set;
    // te_snippet_put and te_snippet_remove clear it.
    std::uint16_t trigger_len_max;
    int trigger_len_max_known;
};

// The engine. Zero-filled static storage: only the pages that are used are
// ever touched.
extern TeEngine E;

// THE ENGINE LOCK.
// te_engine_lock guards every field of E and the last-error text. Every
// export that reads or changes them holds it for all of that work, and
// functions named *_locked, store_read_into, store_refresh_if_changed,
// te_store_write, te_store_edit::ready and te_set_err_internal expect the
// caller to hold it. Nothing waits while it is held: it is never held while
// a template is rendered, the clipboard or the program in front is read,
// text is typed or keys are held, the worker waits for the desktop, the
// store's file lock is waited for, or a store file another process changed
// is read again (store_refresh, store_follow: the file is read without it
// and taken into the table under it). A watch pass copies what it needs
// under the lock, works without it, and takes it again to record. The
// store file is written under it, so the file always follows the table in
// the order of the changes. It is not recursive: no function takes it when
// its caller already holds it.
// The exceptions to "one lock" live in worker.cpp and only ever pass the
// worker's run control: te_run_lock serialises starting and stopping the
// worker and is always taken before this one, never after; the start-up
// handshake's lock is never held together with this one. The worker's stop
// signal is E.running, an atomic read without the lock; te_stop clears it
// and then wakes the worker's wait.
// Between processes (and the threads of this one), writers of one store
// file are serialised by a lock on "<store>.lock" beside the file a link
// finally names (te_store_edit, store_edit.cpp). An edit takes it before
// this lock, waiting for it without this one, keeps it for the refresh,
// change and write, and lets it go after this lock; never the other way
// round. Its wait is bounded, so a process holding it can delay an edit
// but never hang this one, and never anything else.
extern std::mutex te_engine_lock;
typedef std::lock_guard<std::mutex> te_engine_guard;

// ---- Defaults, table access (lock held) --------------------------------
void te_load_defaults(void);
// The first-use defaults with `store` (null or empty: the default path) as
// the store read: a host that names its store in its first te_start never
// has the default store read.
void te_load_defaults_with_store(const char* store);
void te_seed_snippets(void);
int te_snippet_find(const char* trigger);
// Stores a copy of `src` at table position `index` and keeps its look-up
// key. Copies each field up to its NUL only.
void te_snippet_put(int index, const TeSnippet* src);
// Removes the snippet at `index`; later snippets move down by one.
void te_snippet_remove(int index);
// Length in bytes of the longest trigger, 0 for an empty table.
std::size_t te_trigger_len_max_locked(void);
// Works out again what the settings make of every snippet (after the
// engine's settings changed).
void te_snippet_flags_locked(void);
// A snippet record with no settings of its own.
void te_snippet_settings_clear(TeSnippet* s);

// ---- Errors and results --------------------------------------------------
void te_set_err_internal(const char* format, ...);
// The calling thread's result buffer holding a copy of `text` (empty for
// null). The buffer grows to fit, so nothing is ever cut.
char* te_tb_internal(const char* text);
char* te_tb_internal_n(const char* text, std::size_t len);
// Moves a text the JSON writer allocated into the result buffer and frees
// it; null stays null.
const char* te_tb_take_internal(char* written, std::size_t len);

// ---- Text helpers --------------------------------------------------------
// n, less the bytes of an incomplete character at the end of s[0..n).
std::size_t te_utf8_trim_partial(const char* s, std::size_t n);
// Length of `s` cut to at most `max` bytes without splitting a character.
std::size_t te_utf8_cut_len(const char* s, std::size_t max);
// Copies src into dst[cap], cut at a character boundary, NUL-terminated.
void te_copy_cut(char* dst, std::size_t cap, const char* src);
// Number of characters of a UTF-8 text (its bytes that start one).
std::size_t te_utf8_count(const char* s);
// 1 when the n bytes are valid UTF-8.
int te_utf8_valid(const char* s, std::size_t n);
// Copies src into dst[cap], every byte that is not part of a valid UTF-8
// character replaced by U+FFFD, cut at a character boundary.
void te_copy_utf8_repaired(char* dst, std::size_t cap, const char* src);
std::uint32_t te_hash_bytes(const char* s, std::size_t n);
// The last min(4, n) bytes before `end`, packed into one number.
std::uint32_t te_tail_key(const char* end, std::size_t n);
// te_tail_key blind to letter case: ASCII letters in lower case, every byte
// of a character beyond ASCII as 0x80. Never TE_FOLD_NONE.
std::uint32_t te_fold_key(const char* end, std::size_t n);
const std::uint32_t TE_FOLD_NONE = 0xFFFFFFFFu;

#endif
