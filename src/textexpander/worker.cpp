// The worker and its run control: te_start applies a configuration and
// launches one background thread that watches the clipboard or a hotkey
// chord; te_stop ends it.
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

#include "engine.h"
#include "json_lookup.h"
#include "snippet_parse.h"
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

// A watch pass on a table that follows the store file: a snippet another
// process added (a `te add` while the host runs) expands without a
// restart. One stat per pass, and at most one pass per poll interval.
void te_worker_pass(void) {
    {
        te_engine_guard g(te_engine_lock);
        store_refresh_if_changed();
    }
    te_watch_pass();
}

void te_clipboard_poll(te_worker_area* area) {
    std::uint32_t seq = clipboard_sequence();
    if (seq != 0 && seq == area->seen_sequence) return;
    area->current[0] = 0;
    if (!get_clipboard_text_utf8(area->current, TE_CLIPBOARD_CAP)) return;
    area->seen_sequence = seq;
    if (std::strcmp(area->current, area->previous) == 0) return;
    std::strcpy(area->previous, area->current);
    te_worker_pass();
}

// Sleeps one poll interval in slices of at most 100 ms, so te_stop never
// waits longer than that, however long the interval (it has no upper bound).
void te_worker_sleep(int ms) {
    const int slice = 100;
    while (ms > 0 && E.running.load()) {
        int step = ms < slice ? ms : slice;
        thread_sleep_ms(step);
        ms -= step;
    }
}

unsigned worker_fn(void*) {
    std::unique_ptr<te_worker_area> area(new (std::nothrow) te_worker_area);
    if (!area) return 0;
    area->previous[0] = 0;
    area->seen_sequence = 0;
    while (E.running.load()) {
        te_worker_settings s = te_worker_settings_read();
        if (s.mode != 1)
            te_clipboard_poll(area.get());
        else if (hotkey_pressed_now(s.hotkey))
            te_worker_pass();
        te_worker_sleep(s.poll_ms > 0 ? s.poll_ms : 100);
    }
    return 0;
}

// The configuration, checked whole before anything of it is applied.
struct te_config {
    const char* mode;
    const char* hotkey;
    int has_poll;
    int poll_ms;
    int dry_run;
    const char* store;
};

int te_config_read(yyjson_val* root, te_config* c) {
    c->mode = jstr(root, "mode");
    c->hotkey = jstr(root, "hotkey");
    yyjson_val* poll = te_json_first_member(root, "poll_ms");
    c->has_poll = yyjson_is_num(poll);
    // An integer sets its low 32 bits; a real number counts as 0.
    c->poll_ms = yyjson_is_int(poll) ? (int)(std::uint32_t)yyjson_get_uint(poll) : 0;
    c->dry_run = jbool(root, "dry_run", E.dry_run);
    c->store = jstr(root, "store");
    if (c->store && std::strlen(c->store) > TE_PATH_CAP - 1) {
        te_set_err_internal("store path too long (max 1023)");
        return 0;
    }
    return 1;
}

void te_config_apply_locked(const te_config& c) {
    if (c.mode) E.mode = std::strcmp(c.mode, "hotkey") == 0 ? 1 : 0;
    if (c.hotkey) te_copy_cut(E.hotkey, TE_HOTKEY_CAP, c.hotkey);
    if (c.has_poll) E.poll_ms = c.poll_ms;
    if (E.poll_ms < 20) E.poll_ms = 20;
    E.dry_run = c.dry_run;
    if (c.store && c.store[0] && std::strcmp(c.store, E.store_path) != 0) {
        std::strcpy(E.store_path, c.store);
        store_read_into();
    }
}

// Applies a configuration text (null or empty: nothing). 1 when applied.
int te_configure_locked(const char* config_json) {
    if (!config_json || !config_json[0]) return 1;
    yyjson_doc* doc = te_json_parse(config_json);
    if (!doc) {
        te_set_err_internal("config json parse failed");
        return 0;
    }
    yyjson_val* root = yyjson_doc_get_root(doc);
    te_config c;
    int ok = 0;
    if (!yyjson_is_obj(root))
        te_set_err_internal("config must be a JSON object");
    else if (te_config_read(root, &c)) {
        te_config_apply_locked(c);
        ok = 1;
    }
    yyjson_doc_free(doc);
    return ok;
}

}  // namespace

extern "C" int te_start(const char* config_json) {
    std::lock_guard<std::mutex> run(te_run_lock);
    {
        te_engine_guard g(te_engine_lock);
        te_load_defaults();
        if (E.running.load()) {
            te_set_err_internal("already running");
            return 0;
        }
        if (!te_configure_locked(config_json)) return 0;
        E.running.store(1);
    }
    E.worker = thread_launch(worker_fn, nullptr);
    if (!E.worker) {
        E.running.store(0);
        te_engine_guard g(te_engine_lock);
        te_set_err_internal("worker thread failed to start");
        return 0;
    }
    return 1;
}

extern "C" int te_stop(void) {
    std::lock_guard<std::mutex> run(te_run_lock);
    if (!E.running.load()) return 1;
    E.running.store(0);
    thread_join(E.worker);
    E.worker = nullptr;
    return 1;
}

extern "C" int te_status(void) { return E.running.load() ? 1 : 0; }
