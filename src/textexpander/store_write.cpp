// Writing the store file: the whole table through a temporary file of this
// write's own, put in place in one atomic step, so a reader in any process
// sees the old table or the new one, whole.
#include <cstdlib>
#include <cstring>

#include "engine.h"
#include "snippet_parse.h"
#include "store.h"

namespace {

const int TE_SIDE_PATH_CAP = TE_PATH_CAP + 48;

// Opens a new temporary file beside `target`; its path into tmp.
FILE* te_open_temp(const char* target, char* tmp) {
    FILE* f = te_files().create_temp(target, tmp, TE_SIDE_PATH_CAP);
    if (!f) te_set_err_internal("cannot open %s for write", tmp);
    return f;
}

// Flushes the temporary file to disk and closes it; `ok` is 0 when writing
// it already failed. On failure the file is removed and the message set.
int te_finish_temp(FILE* f, int ok, const char* tmp, te_file_stamp* stamp) {
    if (te_files().commit_close(f, stamp) != 0) ok = 0;
    if (ok) return 1;
    te_files().remove(tmp);
    te_set_err_internal("write failed: %s", tmp);
    return 0;
}

// Puts the temporary file in place of `target`. When that fails the
// temporary file stays: it may be the newest copy of what it holds.
int te_put_in_place(const char* tmp, const char* target) {
    if (te_files().replace(tmp, target) == 0) return 1;
    te_set_err_internal("rename failed: %s -> %s", tmp, target);
    return 0;
}

// Writes `len` bytes to a new temporary file beside `target`, flushed to
// disk; its path into tmp, the stamp of what was written into *stamp.
int te_write_temp(const char* target, const char* data, std::size_t len, char* tmp, te_file_stamp* stamp) {
    FILE* f = te_open_temp(target, tmp);
    if (!f) return 0;
    std::size_t wrote = len ? std::fwrite(data, 1, len, f) : 0;
    return te_finish_temp(f, wrote == len, tmp, stamp);
}

// Streams `in` (closed here) into a new temporary file beside `target`.
int te_copy_to_temp(FILE* in, const char* target, char* tmp) {
    FILE* out = te_open_temp(target, tmp);
    if (!out) {
        std::fclose(in);
        return 0;
    }
    static char chunk[1 << 16];  // lock held: one user at a time
    int ok = 1;
    std::size_t n;
    while (ok && (n = std::fread(chunk, 1, sizeof chunk, in)) > 0) ok = std::fwrite(chunk, 1, n, out) == n;
    if (std::ferror(in)) ok = 0;
    std::fclose(in);
    return te_finish_temp(out, ok, tmp, nullptr);
}

// Before the first replacement of a store file the read could not take
// whole, keeps that file as "<store>.bak" (replacing an older one). A file
// that is gone by now leaves nothing to keep.
int te_keep_unread_store(void) {
    if (!E.store_keep_backup) return 1;
    te_open_status status;
    FILE* in = te_files().open_read(E.store_path, &status, nullptr);
    if (!in && status == TE_OPEN_NOT_FOUND) {
        E.store_keep_backup = 0;
        return 1;
    }
    if (!in) {
        te_set_err_internal("cannot read %s to keep it", E.store_path);
        return 0;
    }
    char bak[TE_SIDE_PATH_CAP], tmp[TE_SIDE_PATH_CAP];
    std::snprintf(bak, sizeof bak, "%s.bak", E.store_path);
    if (!te_copy_to_temp(in, bak, tmp)) return 0;
    if (!te_put_in_place(tmp, bak)) {
        te_files().remove(tmp);
        return 0;
    }
    E.store_keep_backup = 0;
    return 1;
}

}  // namespace

int te_store_write(void) {
    if (!E.store_path[0]) return 1;
    te_files().make_parent_dirs(E.store_path);
    std::size_t len = 0;
    int built = 0;
    char* text = te_table_json_write(&len, &built);
    if (!text) {
        te_set_err_internal(built ? "oom writing store" : "oom building store doc");
        return 0;
    }
    char tmp[TE_SIDE_PATH_CAP];
    te_file_stamp written;
    int ok = te_keep_unread_store() && te_write_temp(E.store_path, text, len, tmp, &written);
    std::free(text);
    if (!ok || !te_put_in_place(tmp, E.store_path)) return 0;
    // The rename keeps the file itself: what was written is what is there.
    E.store_stamp = written;
    if (te_files().sync_folder(E.store_path) != 0) {
        te_set_err_internal("sync failed: %s", E.store_path);
        return 0;
    }
    return 1;
}
