// First-use defaults and the seed snippets.
#include <cstring>

#include "engine.h"
#include "store.h"

namespace {

struct te_seed {
    const char* trigger;
    const char* text;
    const char* folder;
};

const te_seed te_seeds[] = {
    {">>addr", "123 Example Street\nAuckland 1010\nNew Zealand", "Home"},
    {">>email", "you@example.com", "Work"},
    {">>signoff", "Kind regards,\nName", "Work"},
};

static_assert(TE_PATH_CAP == TE_STORE_PATH_CAP, "the hosts name the store with the same bound");

void te_default_store_path_locked(void) { te_store_path_default(E.store_path); }

}  // namespace

void te_seed_snippets(void) {
    for (const te_seed& s : te_seeds) {
        if (E.snippet_count >= TE_MAX_SNIPPETS) return;
        static TeSnippet rec;  // lock held: one user at a time
        te_copy_cut(rec.trigger, TE_TRIGGER_CAP, s.trigger);
        te_copy_cut(rec.text, TE_TEXT_CAP, s.text);
        te_copy_cut(rec.folder, TE_FOLDER_CAP, s.folder);
        te_copy_cut(rec.apps, TE_APPS_CAP, "*");
        te_snippet_settings_clear(&rec);
        te_snippet_put(E.snippet_count++, &rec);
    }
}

void te_load_defaults(void) { te_load_defaults_with_store(nullptr); }

void te_load_defaults_with_store(const char* store) {
    if (E.loaded) return;
    E.loaded = 1;
    E.mode = 0;
    E.poll_ms = 100;
    E.dry_run = 0;
    E.undo_backspace = 1;
    E.hotkey[0] = 0;
    if (store && store[0])
        te_copy_cut(E.store_path, TE_PATH_CAP, store);
    else
        te_default_store_path_locked();
    store_read_into();
}
