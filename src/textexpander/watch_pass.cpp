// The watch pass and direct expansion. The snippet is chosen and copied
// under the engine lock; rendering and typing run without it; the result
// is recorded under it again. A host editing the table meanwhile never
// tears what is being typed, and a long typing job never blocks the host.
#include <cstring>
#include <memory>
#include <new>

#include "engine.h"
#include "expansion.h"
#include "match.h"
#include "render.h"
#include "store.h"
#include "textexpander.h"

namespace {

thread_local std::unique_ptr<te_pass_area> tl_pass_area;

// What the rules say for one program: blocked, and the prefix its triggers
// need (empty for none).
struct te_rule_verdict {
    int blocked;
    const char* prefix;
};

te_rule_verdict te_rules_for_locked(const te_program& p) {
    te_rule_verdict v = {0, ""};
    bool prefix_found = false;
    for (int i = 0; i < E.rule_count; i++) {
        const TeRule& r = E.rules[i];
        if (!te_program_matches(p, r.process, std::strlen(r.process))) continue;
        if (r.allow == 0) v.blocked = 1;
        if (!prefix_found && r.prefix[0]) {
            v.prefix = r.prefix;
            prefix_found = true;
        }
    }
    return v;
}

// The text's lengths as the block test compares them: in 32-bit lanes (no
// text the engine reads comes near 2^31 bytes).
struct te_block_lengths {
    std::int32_t trimmed;
    std::int32_t len;
};

// Whether any of the eight snippets from `base` may end the text, decided
// from the look-up keys alone and without a branch, so that blocks with no
// candidate (nearly all of them) are passed over as a tight vector loop.
// A snippet is a candidate when its tail key matches or cannot decide (see
// te_tail_may_match); one longer than the whole text never is.
bool te_block_may_match_locked(const te_text_end& t, te_block_lengths l, int base) {
    const std::uint32_t* tails = E.trigger_tail + base;
    const std::uint16_t* lens = E.trigger_len + base;
    int any = 0;
    for (int k = 0; k < 8; k++) {
        std::int32_t n = lens[k];
        any |= (tails[k] == t.tail) | (n < 4) | ((l.trimmed < n) & (n <= l.len));
    }
    return any != 0;
}

// The first snippet in table order that ends the text and that the apps
// list and prefix rule allow; -1 when none. `program` null: no filters.
int te_choose_snippet_locked(const te_text_end& t, const te_program* program, const char* prefix) {
    std::size_t prefix_len = std::strlen(prefix);
    te_block_lengths l = {(std::int32_t)t.trimmed, (std::int32_t)t.len};
    for (int base = 0; base < E.snippet_count; base += 8) {
        if (!te_block_may_match_locked(t, l, base)) continue;
        for (int i = base; i < base + 8 && i < E.snippet_count; i++) {
            if (!te_tail_may_match(t, E.trigger_tail[i], E.trigger_len[i])) continue;
            const TeSnippet& s = E.snippets[i];
            if (!te_trailing_match(t, s.trigger, E.trigger_len[i])) continue;
            if (!program) return i;
            if (!te_apps_allow(s.apps, *program)) continue;
            if (prefix_len && std::strncmp(s.trigger, prefix, prefix_len) != 0) continue;
            return i;
        }
    }
    return -1;
}

void te_copy_snippet_locked(te_pass_area* area, int index) {
    std::strcpy(area->trigger, E.snippets[index].trigger);
    std::strcpy(area->text, E.snippets[index].text);
    area->dry_run = E.dry_run;
    area->erase = 0;
}

}  // namespace

te_pass_area* te_pass_area_get(void) {
    if (!tl_pass_area) tl_pass_area.reset(new (std::nothrow) te_pass_area);
    return tl_pass_area.get();
}

int te_any_snippet_ends_locked(const te_text_end& t) { return te_choose_snippet_locked(t, nullptr, "") >= 0; }

int te_choose_and_copy(te_pass_area* area, const te_text_end& t, const char* process) {
    bool named = process && process[0];
    te_program program;
    if (named) te_program_init(&program, process);
    te_engine_guard g(te_engine_lock);
    te_rule_verdict v = named ? te_rules_for_locked(program) : te_rule_verdict{0, ""};
    if (v.blocked) return 0;
    int index = te_choose_snippet_locked(t, named ? &program : nullptr, v.prefix);
    if (index < 0) return 0;
    te_copy_snippet_locked(area, index);
    return 1;
}

int te_type_copied(te_pass_area* area, const char* text, const char* rendered, const char* process) {
    int typed = area->erase ? type_replacing(area->erase, text, area->dry_run) : type_text_utf8(text, area->dry_run);
    if (typed == TE_TYPING_CLICKED) return 0;
    if (typed == -2 || typed == -4) {
        te_engine_guard g(te_engine_lock);
        if (typed == -2) te_set_err_internal("SendInput failed");
        else te_set_err_internal("the program in front runs at a higher integrity level: typed keys cannot reach it");
        return -1;
    }
    record_expansion(area->trigger, rendered, process);
    return 1;
}

namespace {

// Renders and types the copied snippet. 1 done, -1 typing was refused,
// 0 rendering had no memory.
int te_expand_copied(te_pass_area* area, const char* process) {
    std::size_t len;
    const char* rendered = te_render_text(area->text, &len);
    if (!rendered) return 0;
    return te_type_copied(area, rendered, rendered, process);
}

// The watch pass on `text`. With `follow_store` (the worker's passes), a
// store file another process changed is read again first.
int te_watch_pass_on(const char* text, const char* process, int follow_store) {
    if (!text || !text[0]) return 0;
    te_pass_area* area = te_pass_area_get();
    if (!area) return 0;
    if (follow_store) store_follow();
    if (!te_choose_and_copy(area, te_text_end_of(text), process)) return 0;
    int r = te_expand_copied(area, process);
    return r == 0 ? -1 : r;
}

// The watch pass on the clipboard text and the program in front.
int te_clipboard_pass(int follow_store) {
    te_pass_area* area = te_pass_area_get();
    if (!area) return 0;
    const char* text = get_clipboard_text_utf8(area->clipboard, TE_CLIPBOARD_CAP);
    if (!text || !text[0]) return 0;
    const char* process = foreground_process_name(area->process, TE_LAST_CAP);
    return te_watch_pass_on(text, process, follow_store);
}

}  // namespace

int te_watch_pass_following_store(void) { return te_clipboard_pass(1); }

extern "C" int te_watch_pass_text(const char* text, const char* process) {
    return te_watch_pass_on(text, process, 0);
}

extern "C" int te_watch_pass(void) { return te_clipboard_pass(0); }

extern "C" int te_expand(const char* trigger) {
    te_pass_area* area = te_pass_area_get();
    {
        te_engine_guard g(te_engine_lock);
        te_load_defaults();
        if (!trigger || !trigger[0]) {
            te_set_err_internal("expand: null trigger");
            return 0;
        }
        int index = te_snippet_find(trigger);
        if (index < 0) {
            te_set_err_internal("no such trigger: %s", trigger);
            return 0;
        }
        if (!area) return 0;
        te_copy_snippet_locked(area, index);
    }
    return te_expand_copied(area, nullptr) == 1 ? 1 : 0;
}
