// The engine record and the helpers every engine file shares.
#ifndef TE_ENGINE_H
#define TE_ENGINE_H

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>

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
};

struct TeSnippet {
    char trigger[TE_TRIGGER_CAP];
    char text[TE_TEXT_CAP];
    char folder[TE_FOLDER_CAP];
    char apps[TE_APPS_CAP];
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
    int mode;                      // 0 clipboard, 1 hotkey
    int poll_ms;
    int dry_run;
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
    // Compact look-up keys beside the table, so a scan by trigger walks one
    // small array instead of every 66 KiB record. Kept by te_snippet_put.
    std::uint32_t trigger_hash[TE_MAX_SNIPPETS];
    std::uint16_t trigger_len[TE_MAX_SNIPPETS];
    // The trigger's last (up to) four bytes, so a watch pass rejects most
    // snippets without touching their records.
    std::uint32_t trigger_tail[TE_MAX_SNIPPETS];
};

// The engine. Zero-filled static storage: only the pages that are used are
// ever touched.
extern TeEngine E;

// THE ENGINE LOCK.
// te_engine_lock guards every field of E and the last-error text. Every
// export that reads or changes them holds it for all of that work, and
// functions named *_locked, store_read_into, store_refresh_if_changed,
// te_store_write, te_store_edit and te_set_err_internal expect the caller
// to hold it. It is never held while a template is rendered, the clipboard
// or the program in front is read, or text is typed: a watch pass copies
// what it needs under the lock, works without it, and takes it again to
// record. The store file is written under it, so the file always follows
// the table in the order of the changes. It is not recursive: no function
// takes it when its caller already holds it.
// The one exception to "one lock" is te_run_lock (worker.cpp), which only
// serialises starting and stopping the worker and is always taken before
// this one, never after.
// Between processes, writers of one store file are serialised by a lock on
// "<store>.lock" (te_store_edit, store_edit.cpp). It is taken only while
// this lock is held, for the refresh, change and write of one edit, and let
// go before this lock is; never the other way round. Its wait is bounded,
// so a process holding it can delay an edit but never hang this one.
extern std::mutex te_engine_lock;
typedef std::lock_guard<std::mutex> te_engine_guard;

// ---- Defaults, table access (lock held) --------------------------------
void te_load_defaults(void);
void te_seed_snippets(void);
int te_snippet_find(const char* trigger);
// Stores a copy of `src` at table position `index` and keeps its look-up
// key. Copies each field up to its NUL only.
void te_snippet_put(int index, const TeSnippet* src);
// Removes the snippet at `index`; later snippets move down by one.
void te_snippet_remove(int index);

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
// 1 when the n bytes are valid UTF-8.
int te_utf8_valid(const char* s, std::size_t n);
// Copies src into dst[cap], every byte that is not part of a valid UTF-8
// character replaced by U+FFFD, cut at a character boundary.
void te_copy_utf8_repaired(char* dst, std::size_t cap, const char* src);
void te_ascii_upper(char* s);
int te_ascii_casecmp(const char* a, const char* b);
std::uint32_t te_hash_bytes(const char* s, std::size_t n);
// The last min(4, n) bytes before `end`, packed into one number.
std::uint32_t te_tail_key(const char* end, std::size_t n);

#endif
