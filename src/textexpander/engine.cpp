// The engine record, its lock and the snippet table's primitives.
#include "engine.h"

#include <cstring>

TeEngine E;
std::mutex te_engine_lock;

namespace {

void te_copy_field(char* dst, const char* src) {
    std::size_t n = std::strlen(src);
    std::memmove(dst, src, n + 1);
}

}  // namespace

int te_snippet_find(const char* trigger) {
    std::size_t n = std::strlen(trigger);
    std::uint32_t h = te_hash_bytes(trigger, n);
    for (int i = 0; i < E.snippet_count; i++) {
        if (E.trigger_hash[i] != h || E.trigger_len[i] != n) continue;
        if (std::memcmp(E.snippets[i].trigger, trigger, n) == 0) return i;
    }
    return -1;
}

void te_snippet_put(int index, const TeSnippet* src) {
    TeSnippet* dst = &E.snippets[index];
    if (dst != src) {
        te_copy_field(dst->trigger, src->trigger);
        te_copy_field(dst->text, src->text);
        te_copy_field(dst->folder, src->folder);
        te_copy_field(dst->apps, src->apps);
    }
    std::size_t n = std::strlen(dst->trigger);
    E.trigger_len[index] = (std::uint16_t)n;
    E.trigger_hash[index] = te_hash_bytes(dst->trigger, n);
}

void te_snippet_remove(int index) {
    for (int i = index; i + 1 < E.snippet_count; i++) te_snippet_put(i, &E.snippets[i + 1]);
    E.snippet_count--;
}
