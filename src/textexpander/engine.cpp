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

// Linear in table order. The keys are scanned eight at a time without a
// branch, so the common case (no key matches) runs as a tight vector loop.
int te_snippet_find(const char* trigger) {
    std::size_t n = std::strlen(trigger);
    std::uint32_t h = te_hash_bytes(trigger, n);
    const std::uint32_t* keys = E.trigger_hash;
    for (int base = 0; base < E.snippet_count; base += 8) {
        int any = 0;
        for (int k = 0; k < 8; k++) any |= keys[base + k] == h;
        if (!any) continue;
        for (int i = base; i < base + 8 && i < E.snippet_count; i++) {
            if (keys[i] == h && E.trigger_len[i] == n && std::memcmp(E.snippets[i].trigger, trigger, n) == 0)
                return i;
        }
    }
    return -1;
}

namespace {

void te_snippet_flags_at(int index) {
    const TeSnippet& s = E.snippets[index];
    bool follows_case = s.propagate_case >= 0 ? s.propagate_case != 0 : E.propagate_case != 0;
    std::size_t n = E.trigger_len[index];
    E.trigger_fold[index] = follows_case ? te_fold_key(s.trigger + n, n) : TE_FOLD_NONE;
    E.trigger_word[index] = (std::uint8_t)(s.word_triggers >= 0 ? s.word_triggers != 0 : E.word_triggers != 0);
}

}  // namespace

void te_snippet_put(int index, const TeSnippet* src) {
    TeSnippet* dst = &E.snippets[index];
    if (dst != src) {
        te_copy_field(dst->trigger, src->trigger);
        te_copy_field(dst->text, src->text);
        te_copy_field(dst->folder, src->folder);
        te_copy_field(dst->apps, src->apps);
        dst->propagate_case = src->propagate_case;
        dst->word_triggers = src->word_triggers;
        te_copy_field(dst->locale, src->locale);
    }
    std::size_t n = std::strlen(dst->trigger);
    E.trigger_len[index] = (std::uint16_t)n;
    E.trigger_hash[index] = te_hash_bytes(dst->trigger, n);
    E.trigger_tail[index] = te_tail_key(dst->trigger + n, n);
    te_snippet_flags_at(index);
    E.trigger_len_max_known = 0;
}

void te_snippet_flags_locked(void) {
    for (int i = 0; i < E.snippet_count; i++) te_snippet_flags_at(i);
}

void te_snippet_settings_clear(TeSnippet* s) {
    s->propagate_case = -1;
    s->word_triggers = -1;
    s->locale[0] = 0;
}

void te_snippet_remove(int index) {
    for (int i = index; i + 1 < E.snippet_count; i++) te_snippet_put(i, &E.snippets[i + 1]);
    E.snippet_count--;
    E.trigger_len_max_known = 0;
}

std::size_t te_trigger_len_max_locked(void) {
    if (!E.trigger_len_max_known) {
        std::uint16_t longest = 0;
        for (int i = 0; i < E.snippet_count; i++) longest = E.trigger_len[i] > longest ? E.trigger_len[i] : longest;
        E.trigger_len_max = longest;
        E.trigger_len_max_known = 1;
    }
    return E.trigger_len_max;
}
