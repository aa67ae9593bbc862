#include <cstdlib>
#include <cstring>

#include "engine.h"
#include "snippet_parse.h"
#include "store.h"

namespace {

const std::size_t TE_SIDE_PATH_CAP = TE_PATH_CAP + 16;

// Writes `len` bytes to `path` and flushes them to disk. On failure the
// file is removed and the message set.
int te_write_whole_file(const char* path, const char* data, std::size_t len) {
    FILE* f = file_open_write(path);
    if (!f) {
        te_set_err_internal("cannot open %s for write", path);
        return 0;
    }
    std::size_t wrote = len ? std::fwrite(data, 1, len, f) : 0;
    int closed = file_commit_close(f);
    if (wrote != len || closed != 0) {
        file_remove(path);
        te_set_err_internal("write failed: %s", path);
        return 0;
    }
    return 1;
}

// Streams the file at `from` into `to` (created or truncated), flushed to
// disk. 1 on success, or when `from` does not exist any more.
int te_copy_file(const char* from, const char* to) {
    FILE* in = file_open_read(from);
    if (!in) return 1;
    FILE* out = file_open_write(to);
    if (!out) {
        std::fclose(in);
        te_set_err_internal("cannot open %s for write", to);
        return 0;
    }
    static char chunk[1 << 16];  // lock held: one user at a time
    int ok = 1;
    std::size_t n;
    while (ok && (n = std::fread(chunk, 1, sizeof chunk, in)) > 0)
        ok = std::fwrite(chunk, 1, n, out) == n;
    if (std::ferror(in)) ok = 0;
    std::fclose(in);
    if (file_commit_close(out) != 0) ok = 0;
    if (!ok) te_set_err_internal("write failed: %s", to);
    return ok;
}

// Before the first replacement of a store file the read could not take
// whole, keeps that file as "<store>.bak" (replacing an older one).
int te_keep_unread_store(void) {
    if (!E.store_keep_backup) return 1;
    char bak[TE_SIDE_PATH_CAP], bak_tmp[TE_SIDE_PATH_CAP];
    std::snprintf(bak, sizeof bak, "%s.bak", E.store_path);
    std::snprintf(bak_tmp, sizeof bak_tmp, "%s.bak.tmp", E.store_path);
    if (!te_copy_file(E.store_path, bak_tmp)) {
        file_remove(bak_tmp);
        return 0;
    }
    if (file_replace(bak_tmp, bak) != 0) {
        file_remove(bak_tmp);
        te_set_err_internal("rename failed: %s -> %s", bak_tmp, bak);
        return 0;
    }
    E.store_keep_backup = 0;
    return 1;
}

}  // namespace

int te_store_write(void) {
    if (!E.store_path[0]) return 1;
    file_make_parent_dirs(E.store_path);
    std::size_t len = 0;
    int built = 0;
    char* text = te_table_json_write(&len, &built);
    if (!text) {
        te_set_err_internal(built ? "oom writing store" : "oom building store doc");
        return 0;
    }
    char tmp[TE_SIDE_PATH_CAP];
    std::snprintf(tmp, sizeof tmp, "%s.tmp", E.store_path);
    int ok = te_keep_unread_store() && te_write_whole_file(tmp, text, len);
    std::free(text);
    if (!ok) return 0;
    // The store file is only ever replaced whole. When that fails the
    // temporary file stays: it is then the newest copy of the table.
    if (file_replace(tmp, E.store_path) != 0) {
        te_set_err_internal("rename failed: %s -> %s", tmp, E.store_path);
        return 0;
    }
    return 1;
}
