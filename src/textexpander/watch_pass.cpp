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

// Per-thread copies of what a pass works on, kept off the stack.
struct te_pass_area {
    char clipboard[TE_CLIPBOARD_CAP];
    char process[TE_LAST_CAP];
    char trigger[TE_TRIGGER_CAP];
    char text[TE_TEXT_CAP];
    int dry_run;
};
thread_local std::unique_ptr<te_pass_area> tl_pass_area;

te_pass_area* te_pass_area_get(void) {
    if (!tl_pass_area) tl_pass_area.reset(new (std::nothrow) te_pass_area);
    return tl_pass_area.get();
}

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

// The first snippet in table order that ends the text and that the apps
// list and prefix rule allow; -1 when none. `program` null: no filters.
int te_choose_snippet_locked(const te_text_end& t, const te_program* program, const char* prefix) {
    std::size_t prefix_len = std::strlen(prefix);
    for (int i = 0; i < E.snippet_count; i++) {
        if (!te_tail_may_match(t, E.trigger_tail[i], E.trigger_len[i])) continue;
        const TeSnippet& s = E.snippets[i];
        if (!te_trailing_match(t, s.trigger, E.trigger_len[i])) continue;
        if (!program) return i;
        if (!te_apps_allow(s.apps, *program)) continue;
        if (prefix_len && std::strncmp(s.trigger, prefix, prefix_len) != 0) continue;
        return i;
    }
    return -1;
}

void te_copy_snippet_locked(te_pass_area* area, int index) {
    std::strcpy(area->trigger, E.snippets[index].trigger);
    std::strcpy(area->text, E.snippets[index].text);
    area->dry_run = E.dry_run;
}

// Renders and types the copied snippet. 1 done, -1 typing was refused,
// 0 rendering had no memory.
int te_expand_copied(te_pass_area* area, const char* process) {
    std::size_t len;
    const char* rendered = te_render_text(area->text, &len);
    if (!rendered) return 0;
    if (type_text_utf8(rendered, area->dry_run) == -2) {
        te_engine_guard g(te_engine_lock);
        te_set_err_internal("SendInput failed");
        return -1;
    }
    record_expansion(area->trigger, rendered, process);
    return 1;
}

// The watch pass on `text`. With `follow_store`, a store file another
// process changed is read again first, under the same hold of the lock.
int te_watch_pass_on(const char* text, const char* process, int follow_store) {
    if (!text || !text[0]) return 0;
    te_pass_area* area = te_pass_area_get();
    if (!area) return 0;
    te_text_end t = te_text_end_of(text);
    bool named = process && process[0];
    te_program program;
    if (named) te_program_init(&program, process);
    {
        te_engine_guard g(te_engine_lock);
        if (follow_store) store_refresh_if_changed();
        te_rule_verdict v = named ? te_rules_for_locked(program) : te_rule_verdict{0, ""};
        if (v.blocked) return 0;
        int index = te_choose_snippet_locked(t, named ? &program : nullptr, v.prefix);
        if (index < 0) return 0;
        te_copy_snippet_locked(area, index);
    }
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
