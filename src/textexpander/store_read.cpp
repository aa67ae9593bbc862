// Reading the store file into the table: at first use, when the store path
// changes, and again whenever another process has replaced the file.
#include <cstdlib>
#include <cstring>

#include "engine.h"
#include "json_lookup.h"
#include "snippet_parse.h"
#include "store.h"

namespace {

// What the read made of a file: whether it took everything in it.
enum te_read_outcome { TE_READ_NOTHING_THERE, TE_READ_WHOLE, TE_READ_PARTIAL, TE_READ_FAILED };

// The whole file at `path` in one allocated NUL-terminated buffer *text
// (freed by the caller), its size in *size, its stamp in *stamp.
// TE_READ_WHOLE when it was read; TE_READ_NOTHING_THERE for no file or an
// empty one; TE_READ_PARTIAL for one larger than the read takes;
// TE_READ_FAILED when a file is there but could not be opened or read.
te_read_outcome te_read_file(const char* path, char** text, long long* size, te_file_stamp* stamp) {
    *text = nullptr;
    te_open_status status;
    FILE* f = te_files().open_read(path, &status, stamp);
    if (!f) return status == TE_OPEN_NOT_FOUND ? TE_READ_NOTHING_THERE : TE_READ_FAILED;
    long n = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) n = std::ftell(f);
    te_read_outcome outcome = TE_READ_WHOLE;
    if (n < 0 || std::fseek(f, 0, SEEK_SET) != 0) {
        outcome = TE_READ_FAILED;
    } else if (n == 0) {
        outcome = TE_READ_NOTHING_THERE;
    } else if ((long long)n > TE_STORE_READ_MAX) {
        outcome = TE_READ_PARTIAL;
    } else {
        *text = static_cast<char*>(std::malloc((std::size_t)n + 1));
        if (!*text || std::fread(*text, 1, (std::size_t)n, f) != (std::size_t)n) outcome = TE_READ_FAILED;
    }
    std::fclose(f);
    *size = n;
    if (outcome == TE_READ_WHOLE) (*text)[n] = 0;
    return outcome;
}

// The first "snippets" member of the root object when it is a non-empty
// array, else null.
yyjson_val* te_store_array(yyjson_doc* doc) {
    yyjson_val* root = yyjson_doc_get_root(doc);
    if (!yyjson_is_obj(root) || yyjson_obj_size(root) == 0) return nullptr;
    yyjson_val* arr = te_json_first_member(root, "snippets");
    if (!yyjson_is_arr(arr) || yyjson_arr_size(arr) == 0) return nullptr;
    return arr;
}

// Copies the array's valid snippets into the table from position 0.
// Returns how many; *all is 0 when an element was refused or left out.
int te_take_snippets(yyjson_val* arr, int* all) {
    static TeSnippet scratch;  // lock held: one user at a time
    int taken = 0;
    *all = 1;
    yyjson_arr_iter it = yyjson_arr_iter_with(arr);
    yyjson_val* el;
    while ((el = yyjson_arr_iter_next(&it))) {
        if (taken == TE_MAX_SNIPPETS) {
            *all = 0;
            break;
        }
        if (!te_parse_snippet_obj(el, &scratch, TE_SETTINGS_SKIP_UNKNOWN)) {
            *all = 0;
            continue;
        }
        te_snippet_put(taken++, &scratch);
    }
    return taken;
}

// A read of the store file, made without the engine lock and taken into
// the table under it.
struct te_store_file {
    te_read_outcome outcome = TE_READ_FAILED;
    yyjson_doc* doc = nullptr;  // when outcome is TE_READ_WHOLE
    te_file_stamp stamp = {};
    ~te_store_file() { yyjson_doc_free(doc); }
};

// Reads and parses the file at `path`; a text that does not parse counts
// as partial (nothing in it could be taken).
void te_store_load(const char* path, te_store_file* f) {
    char* text;
    long long size;
    f->outcome = te_read_file(path, &text, &size, &f->stamp);
    if (f->outcome == TE_READ_WHOLE) {
        f->doc = yyjson_read(text, (std::size_t)size, 0);
        if (!f->doc) f->outcome = TE_READ_PARTIAL;
    }
    std::free(text);
}

// Takes the parsed file's snippets into the table from position 0; *taken
// is how many (the table's count is not changed).
te_read_outcome te_store_parse(const te_store_file& f, int* taken) {
    *taken = 0;
    if (f.outcome != TE_READ_WHOLE) return f.outcome;
    yyjson_val* arr = te_store_array(f.doc);
    if (arr) {
        int all;
        *taken = te_take_snippets(arr, &all);
        return all ? TE_READ_WHOLE : TE_READ_PARTIAL;
    }
    // An empty array leaves nothing behind; anything else is not a store.
    yyjson_val* root = yyjson_doc_get_root(f.doc);
    return yyjson_is_arr(te_json_first_member(root, "snippets")) ? TE_READ_WHOLE : TE_READ_PARTIAL;
}

// Takes a read of the store file into the table. A file that yields
// snippets replaces the table; with `again`, so does a file that holds none
// or is gone (the table is then empty); otherwise the table stays as it
// was. The seeds go into an empty table. Lock held.
void te_store_take(const te_store_file& f, int again) {
    int taken = 0;
    te_read_outcome outcome = te_store_parse(f, &taken);
    E.store_unreadable = outcome == TE_READ_FAILED;
    if (outcome != TE_READ_FAILED) {
        E.store_stamp = f.stamp;
        E.store_keep_backup = outcome == TE_READ_PARTIAL;
    }
    if (taken > 0)
        E.snippet_count = taken;
    else if (again && (outcome == TE_READ_WHOLE || outcome == TE_READ_NOTHING_THERE))
        E.snippet_count = 0;
    if (E.snippet_count == 0) te_seed_snippets();
}

// What a refresh without the lock starts from: the store as the table
// last knew it.
struct te_store_known {
    char path[TE_PATH_CAP];
    te_file_stamp stamp;
    int unreadable;
};

void te_store_known_now(te_store_known* k) {
    std::strcpy(k->path, E.store_path);
    k->stamp = E.store_stamp;
    k->unreadable = E.store_unreadable;
}

bool te_store_known_still(const te_store_known& k) {
    return std::strcmp(k.path, E.store_path) == 0 && te_file_stamp_equal(k.stamp, E.store_stamp) &&
           k.unreadable == E.store_unreadable;
}

// The stat and, when the file changed, its read run without the lock; the
// read is taken only when nothing read or wrote the store meanwhile (the
// table is then at least as new as the read).
void te_store_refresh_from(const te_store_known& k) {
    te_file_stamp now;
    if (!k.unreadable && te_files().stamp(k.path, &now) == 0 && te_file_stamp_equal(now, k.stamp)) return;
    te_store_file f;
    te_store_load(k.path, &f);
    te_engine_guard g(te_engine_lock);
    if (te_store_known_still(k)) te_store_take(f, 1);
}

}  // namespace

void store_read_into(void) {
    te_store_file f;
    te_store_load(E.store_path, &f);
    te_store_take(f, 0);
}

void store_refresh_if_changed(void) {
    if (!E.store_path[0]) return;
    te_file_stamp now;
    if (!E.store_unreadable && te_files().stamp(E.store_path, &now) == 0 && te_file_stamp_equal(now, E.store_stamp))
        return;
    te_store_file f;
    te_store_load(E.store_path, &f);
    te_store_take(f, 1);
}

void store_refresh(void) {
    te_store_known k;
    {
        te_engine_guard g(te_engine_lock);
        te_load_defaults();
        if (!E.store_path[0]) return;
        te_store_known_now(&k);
    }
    te_store_refresh_from(k);
}

void store_follow(void) {
    te_store_known k;
    {
        te_engine_guard g(te_engine_lock);
        std::uint64_t now = now_millis();
        if (!E.store_path[0] || (E.store_followed_at && now - E.store_followed_at < (std::uint64_t)E.poll_ms)) return;
        E.store_followed_at = now;
        te_store_known_now(&k);
    }
    te_store_refresh_from(k);
}
