#include <cstdlib>
#include <cstring>

#include "engine.h"
#include "json_lookup.h"
#include "snippet_parse.h"
#include "store.h"

namespace {

// What the read made of a file: whether it took everything in it.
enum te_read_outcome { TE_READ_NOTHING_THERE, TE_READ_WHOLE, TE_READ_PARTIAL };

// The whole file in one allocated NUL-terminated buffer, or null. *size is
// -1 when the file could not be opened, else its size.
char* te_read_file(const char* path, long long* size) {
    *size = -1;
    FILE* f = file_open_read(path);
    if (!f) return nullptr;
    long n = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) n = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    *size = n < 0 ? TE_STORE_READ_MAX + 1 : (long long)n;
    if (n < 1 || (long long)n > TE_STORE_READ_MAX) {
        std::fclose(f);
        return nullptr;
    }
    char* buf = static_cast<char*>(std::malloc((std::size_t)n + 1));
    if (buf && std::fread(buf, 1, (std::size_t)n, f) != (std::size_t)n) {
        std::free(buf);
        buf = nullptr;
    }
    std::fclose(f);
    if (buf) buf[n] = 0;
    return buf;
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
        if (!te_parse_snippet_obj(el, &scratch)) {
            *all = 0;
            continue;
        }
        te_snippet_put(taken++, &scratch);
    }
    return taken;
}

te_read_outcome te_read_store(void) {
    long long size;
    char* text = te_read_file(E.store_path, &size);
    if (!text) return size <= 0 ? TE_READ_NOTHING_THERE : TE_READ_PARTIAL;
    yyjson_doc* doc = yyjson_read(text, (std::size_t)size, 0);
    std::free(text);
    if (!doc) return TE_READ_PARTIAL;
    te_read_outcome outcome = TE_READ_PARTIAL;
    yyjson_val* root = yyjson_doc_get_root(doc);
    yyjson_val* arr = te_store_array(doc);
    if (arr) {
        int all;
        int taken = te_take_snippets(arr, &all);
        if (taken > 0) E.snippet_count = taken;
        outcome = all ? TE_READ_WHOLE : TE_READ_PARTIAL;
    } else if (yyjson_is_arr(te_json_first_member(root, "snippets"))) {
        outcome = TE_READ_WHOLE;  // an empty array: nothing was left behind
    }
    yyjson_doc_free(doc);
    return outcome;
}

}  // namespace

void store_read_into(void) {
    E.store_keep_backup = te_read_store() == TE_READ_PARTIAL;
    if (E.snippet_count == 0) te_seed_snippets();
}
