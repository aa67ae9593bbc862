// The worker and its run control: te_start applies a configuration and
// launches one background thread that watches the clipboard, a hotkey
// chord or what the user types; te_stop ends it.
#include <cstring>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>

#include "engine.h"
#include "expansion.h"
#include "json_lookup.h"
#include "keys_mode.h"
#include "snippet_parse.h"
#include "snippet_settings.h"
#include "store.h"
#include "textexpander.h"

namespace {

// Serialises te_start and te_stop with each other, so two stops never join
// the same thread and a start racing a stop never leaves two workers. It
// guards E.worker. Taken before te_engine_lock, never while holding it.
std::mutex te_run_lock;

// The worker's two clipboard texts; there is only ever one worker.
struct te_worker_area {
    char previous[TE_CLIPBOARD_CAP];
    char current[TE_CLIPBOARD_CAP];
    // The clipboard's sequence number when `previous` was last compared;
    // while it stays the same the text cannot have changed.
    std::uint32_t seen_sequence;
};

// The settings one iteration works with, read afresh under the lock.
struct te_worker_settings {
    int mode;
    int poll_ms;
    char hotkey[TE_HOTKEY_CAP];
};

te_worker_settings te_worker_settings_read(void) {
    te_worker_settings s;
    te_engine_guard g(te_engine_lock);
    s.mode = E.mode;
    s.poll_ms = E.poll_ms;
    std::memcpy(s.hotkey, E.hotkey, sizeof s.hotkey);
    return s;
}

// One look at the clipboard: the text is read only when the sequence has
// moved, so a notification costs at most one read, and the notifications
// that arrive during a read are taken together by the next wait. A pass
// runs only when the text differs from the last one.
void te_clipboard_poll(te_worker_area* area) {
    std::uint32_t seq = clipboard_sequence();
    if (seq != 0 && seq == area->seen_sequence) return;
    area->current[0] = 0;
    if (!get_clipboard_text_utf8(area->current, TE_CLIPBOARD_CAP)) return;
    area->seen_sequence = seq;
    if (std::strcmp(area->current, area->previous) == 0) return;
    std::strcpy(area->previous, area->current);
    te_watch_pass_following_store();
}

// The desktop watch of a mode, and what it delivers.
struct te_mode_watch {
    int asked = 0;  // TE_WATCH_* bits
    int got = 0;    // those watch_open promised
};

// Keeps the desktop watch matched to the mode: the clipboard in clipboard
// mode; in hotkey mode the keys going down or up, as the chord need only
// be looked at then.
void te_watch_follow_mode(int mode, te_mode_watch* w) {
    int want = mode != TE_MODE_HOTKEY ? TE_WATCH_CLIPBOARD : TE_WATCH_KEY_STATES;
    if (want == w->asked) return;
    watch_close();
    w->got = watch_open(want);
    w->asked = want;
}

// How long to sleep: until something happens (a change, or te_stop's
// wake-up) when the desktop tells of every change the mode needs; else
// the poll interval.
int te_wait_ms(const te_mode_watch& w, int poll_ms) {
    if ((w.got & w.asked) == w.asked) return TE_WAIT_FOREVER;
    return poll_ms > 0 ? poll_ms : 100;
}

void te_poll_run(void) {
    std::unique_ptr<te_worker_area> area(new (std::nothrow) te_worker_area);
    if (!area) return;
    area->previous[0] = 0;
    area->seen_sequence = 0;
    te_mode_watch watching;
    while (E.running.load()) {
        te_worker_settings s = te_worker_settings_read();
        te_watch_follow_mode(s.mode, &watching);
        if (s.mode != TE_MODE_HOTKEY)
            te_clipboard_poll(area.get());
        else if (hotkey_pressed_now(s.hotkey))
            te_watch_pass_following_store();
        watch_wait(te_wait_ms(watching, s.poll_ms));
    }
}

// The meeting of te_start and the worker it launches: the worker opens its
// watch first and answers with what it got; te_start then applies the
// configuration (or refuses the start) and tells it whether to go on.
// te_handshake_lock guards the record; only te_start (holding te_run_lock)
// and the worker it launched touch it, and the record outlives them both.
struct te_handshake {
    int keys;    // keys mode: the TE_WATCH_* bits of the key watch to open, else 0
    int opened;  // the TE_WATCH_* bits watch_open gave, -1 until then
    int go;      // 1 go on, 0 the start was refused, -1 not said yet
};
te_handshake te_handshake_record;
std::mutex te_handshake_lock;
std::condition_variable te_handshake_changed;

int te_handshake_open(int keys) {
    std::unique_lock<std::mutex> g(te_handshake_lock);
    te_handshake_record.opened = keys ? watch_open(keys) : 0;
    te_handshake_changed.notify_all();
    while (te_handshake_record.go < 0) te_handshake_changed.wait(g);
    return te_handshake_record.go;
}

unsigned worker_fn(void*) {
    int keys;
    {
        std::lock_guard<std::mutex> g(te_handshake_lock);
        keys = te_handshake_record.keys;
    }
    if (te_handshake_open(keys)) {
        if (keys) te_keys_run();
        else te_poll_run();
    }
    watch_close();
    return 0;
}

// The configuration, checked whole before anything of it is applied.
struct te_config {
    const char* mode;
    const char* hotkey;
    int has_poll;
    int poll_ms;
    int dry_run;
    int synthetic_keys;
    const char* store;
    int worker;  // 0: apply the configuration, start no worker
    int propagate_case;
    int word_triggers;
    int undo_backspace;
    int skip_own_windows;
    const char* locale;  // null: not given
};

// A setting for all snippets: JSON true or false, or left out (the
// current value); anything else refuses the configuration.
int te_config_flag(yyjson_val* root, const char* name, int current, int* out) {
    yyjson_val* v = te_json_first_member(root, name);
    *out = v ? yyjson_is_true(v) : current;
    if (!v || yyjson_is_bool(v)) return 1;
    te_set_err_internal("%s must be true or false", name);
    return 0;
}

int te_config_locale(yyjson_val* root, te_config* c) {
    yyjson_val* v = te_json_first_member(root, "locale");
    c->locale = yyjson_is_str(v) ? yyjson_get_str(v) : nullptr;
    if (v && !c->locale) {
        te_set_err_internal("locale must be a string");
        return 0;
    }
    return !c->locale || te_locale_check(c->locale);
}

int te_config_settings_read(yyjson_val* root, te_config* c) {
    return te_config_flag(root, "propagate_case", E.propagate_case, &c->propagate_case) &&
           te_config_flag(root, "word_triggers", E.word_triggers, &c->word_triggers) &&
           te_config_flag(root, "undo_backspace", E.undo_backspace, &c->undo_backspace) &&
           te_config_flag(root, "skip_own_windows", E.skip_own_windows, &c->skip_own_windows) &&
           te_config_locale(root, c);
}

int te_config_read(yyjson_val* root, te_config* c) {
    c->mode = jstr(root, "mode");
    c->hotkey = jstr(root, "hotkey");
    yyjson_val* poll = te_json_first_member(root, "poll_ms");
    c->has_poll = yyjson_is_num(poll);
    // An integer sets its low 32 bits; a real number counts as 0.
    c->poll_ms = yyjson_is_int(poll) ? (int)(std::uint32_t)yyjson_get_uint(poll) : 0;
    c->dry_run = jbool(root, "dry_run", E.dry_run);
    c->synthetic_keys = jbool(root, "synthetic_keys", E.synthetic_keys);
    c->store = jstr(root, "store");
    if (c->store && std::strlen(c->store) > TE_PATH_CAP - 1) {
        te_set_err_internal("store path too long (max 1023)");
        return 0;
    }
    c->worker = jbool(root, "worker", 1);
    return te_config_settings_read(root, c);
}

int te_mode_named(const char* mode) {
    if (std::strcmp(mode, "hotkey") == 0) return TE_MODE_HOTKEY;
    if (std::strcmp(mode, "keys") == 0) return TE_MODE_KEYS;
    return TE_MODE_CLIPBOARD;
}

// What a worker of the mode needs of the desktop (platform.h).
int te_mode_needs(int mode) {
    if (mode == TE_MODE_KEYS) return TE_NEED_TYPING | TE_NEED_KEYS;
    if (mode == TE_MODE_HOTKEY) return TE_NEED_TYPING | TE_NEED_CLIPBOARD | TE_NEED_KEY_STATES;
    return TE_NEED_TYPING | TE_NEED_CLIPBOARD;
}

void te_config_apply_locked(const te_config& c) {
    if (c.mode) E.mode = te_mode_named(c.mode);
    if (c.hotkey) te_copy_cut(E.hotkey, TE_HOTKEY_CAP, c.hotkey);
    if (c.has_poll) E.poll_ms = c.poll_ms;
    if (E.poll_ms < 20) E.poll_ms = 20;
    E.dry_run = c.dry_run;
    E.synthetic_keys = c.synthetic_keys;
    E.propagate_case = c.propagate_case;
    E.word_triggers = c.word_triggers;
    E.undo_backspace = c.undo_backspace;
    E.skip_own_windows = c.skip_own_windows;
    if (c.locale) std::strcpy(E.locale, c.locale);
    if (c.store && c.store[0] && std::strcmp(c.store, E.store_path) != 0) {
        std::strcpy(E.store_path, c.store);
        store_read_into();
    }
    te_snippet_flags_locked();
}

// A configuration checked whole and not yet applied. The document holds
// the texts `c` points to.
struct te_config_doc {
    yyjson_doc* doc = nullptr;
    te_config c = {};
    ~te_config_doc() { yyjson_doc_free(doc); }
};

// Parses and checks a configuration text (null or empty: an empty one).
// 1 when it can be applied.
int te_config_parse_locked(const char* config_json, te_config_doc* out) {
    out->c.synthetic_keys = E.synthetic_keys;
    out->c.worker = 1;
    if (!config_json || !config_json[0]) return 1;
    out->doc = te_json_parse(config_json);
    if (!out->doc) {
        te_set_err_internal("config json parse failed");
        return 0;
    }
    yyjson_val* root = yyjson_doc_get_root(out->doc);
    if (!yyjson_is_obj(root)) {
        te_set_err_internal("config must be a JSON object");
        return 0;
    }
    return te_config_read(root, &out->c);
}

void te_config_apply(const te_config_doc& config) {
    te_engine_guard g(te_engine_lock);
    if (config.doc) te_config_apply_locked(config.c);
}

// Waits for the launched worker's watch; 1 when it has what the mode needs.
int te_handshake_wait_opened(void) {
    std::unique_lock<std::mutex> g(te_handshake_lock);
    while (te_handshake_record.opened < 0) te_handshake_changed.wait(g);
    return !te_handshake_record.keys || (te_handshake_record.opened & TE_WATCH_KEYS);
}

void te_handshake_say(int go) {
    std::lock_guard<std::mutex> g(te_handshake_lock);
    te_handshake_record.go = go;
    te_handshake_changed.notify_all();
}

void te_handshake_begin(int keys) {
    std::lock_guard<std::mutex> g(te_handshake_lock);
    te_handshake_record = te_handshake{keys, -1, -1};
}

// The store a configuration names, for the first use: null unless the
// configuration is one te_start can take.
const char* te_config_store_locked(const char* config_json, te_config_doc* scratch) {
    if (E.loaded || !config_json || !config_json[0]) return nullptr;
    return te_config_parse_locked(config_json, scratch) ? scratch->c.store : nullptr;
}

}  // namespace

extern "C" int te_start(const char* config_json) {
    std::lock_guard<std::mutex> run(te_run_lock);
    te_config_doc config;
    int mode, synthetic;
    {
        te_engine_guard g(te_engine_lock);
        {
            te_config_doc first;
            te_load_defaults_with_store(te_config_store_locked(config_json, &first));
        }
        if (E.running.load()) {
            te_set_err_internal("already running");
            return 0;
        }
        if (!te_config_parse_locked(config_json, &config)) return 0;
        if (!config.c.worker) {
            if (config.doc) te_config_apply_locked(config.c);
            return 1;
        }
        mode = config.c.mode ? te_mode_named(config.c.mode) : E.mode;
        synthetic = config.c.synthetic_keys;
    }
    // Asked without the engine lock: the desktop may have to connect first.
    char missing[TE_ERR_CAP];
    int needs = te_mode_needs(mode) | (mode == TE_MODE_KEYS && synthetic ? TE_NEED_SYNTHETIC_KEYS : 0);
    if (desktop_missing(needs, missing, (int)sizeof missing)) {
        te_engine_guard g(te_engine_lock);
        te_set_err_internal("%s", missing);
        return 0;
    }
    te_handshake_begin(mode != TE_MODE_KEYS ? 0 : synthetic ? TE_WATCH_KEYS | TE_WATCH_SYNTHETIC_KEYS : TE_WATCH_KEYS);
    E.running.store(1);
    E.worker = thread_launch(worker_fn, nullptr);
    if (!E.worker) {
        E.running.store(0);
        te_config_apply(config);
        te_engine_guard g(te_engine_lock);
        te_set_err_internal("worker thread failed to start");
        return 0;
    }
    int ok = te_handshake_wait_opened();
    if (ok) {
        te_config_apply(config);
    } else {
        te_engine_guard g(te_engine_lock);
        te_set_err_internal("keys mode: this desktop cannot watch the keyboard");
    }
    te_handshake_say(ok);
    if (!ok) {
        E.running.store(0);
        thread_join(E.worker);
        E.worker = nullptr;
    }
    return ok;
}

extern "C" int te_stop(void) {
    std::lock_guard<std::mutex> run(te_run_lock);
    if (!E.running.load()) return 1;
    E.running.store(0);
    watch_wake();
    thread_join(E.worker);
    E.worker = nullptr;
    return 1;
}

extern "C" int te_status(void) { return E.running.load() ? 1 : 0; }
