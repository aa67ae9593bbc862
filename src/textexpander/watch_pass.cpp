// The watch pass and direct expansion. The snippet is chosen and copied
// under the engine lock; rendering and typing run without it; the result
// is recorded under it again. A host editing the table meanwhile never
// tears what is being typed, and a long typing job never blocks the host.
#include <cstring>
#include <memory>
#include <new>

#include "caret_steps.h"
#include "case_forms.h"
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
    const std::uint32_t* folds = E.trigger_fold + base;
    const std::uint16_t* lens = E.trigger_len + base;
    int any = 0;
    for (int k = 0; k < 8; k++) {
        std::int32_t n = lens[k];
        any |= (tails[k] == t.tail) | (folds[k] == t.fold) | (n < 4) | ((l.trimmed < n) & (n <= l.len));
    }
    return any != 0;
}

// How snippet i's trigger ends the text: as it is, or (when its case
// follows the typed trigger's) with a first capital or in capitals. The
// te_case_form, with the bytes it took in *matched; -1 when it does not.
int te_trigger_ends_locked(const te_text_end& t, int i, std::size_t* matched) {
    std::size_t n = E.trigger_len[i];
    const char* trigger = E.snippets[i].trigger;
    bool may = te_tail_may_match(t, E.trigger_tail[i], n);
    if (may && te_trailing_match(t, trigger, n)) {
        *matched = n;
        return TE_CASE_AS_IS;
    }
    if (E.trigger_fold[i] == TE_FOLD_NONE || (!may && E.trigger_fold[i] != t.fold)) return -1;
    char variant[2 * TE_TRIGGER_CAP];
    for (te_case_form form : {TE_CASE_FIRST, TE_CASE_ALL}) {
        std::size_t vn = te_case_variant(trigger, n, form, variant, sizeof variant);
        if (vn && te_trailing_match(t, variant, vn)) {
            *matched = vn;
            return form;
        }
    }
    return -1;
}

// The snippet a pass chose, and how its trigger was typed.
struct te_choice {
    int index = -1;
    int form = TE_CASE_AS_IS;
    std::size_t matched = 0;
};

// The first snippet of the kind in table order that ends the text and that
// the apps list and prefix rule allow; index -1 when none. `program` null:
// no filters.
te_choice te_choose_snippet_locked(const te_text_end& t, const te_program* program, const char* prefix,
                                   te_trigger_kind kind) {
    std::size_t prefix_len = std::strlen(prefix);
    te_block_lengths l = {(std::int32_t)t.trimmed, (std::int32_t)t.len};
    te_choice c;
    for (int base = 0; base < E.snippet_count; base += 8) {
        if (!te_block_may_match_locked(t, l, base)) continue;
        for (int i = base; i < base + 8 && i < E.snippet_count; i++) {
            if (kind != TE_ANY_TRIGGER && E.trigger_word[i] != kind) continue;
            c.form = te_trigger_ends_locked(t, i, &c.matched);
            if (c.form < 0) continue;
            const TeSnippet& s = E.snippets[i];
            if (program && !te_apps_allow(s.apps, *program)) continue;
            if (program && prefix_len && std::strncmp(s.trigger, prefix, prefix_len) != 0) continue;
            c.index = i;
            return c;
        }
    }
    return te_choice{};
}

void te_copy_snippet_locked(te_pass_area* area, const te_choice& c) {
    const TeSnippet& s = E.snippets[c.index];
    std::strcpy(area->trigger, s.trigger);
    std::strcpy(area->text, s.text);
    std::strcpy(area->locale, s.locale[0] ? s.locale : E.locale);
    area->dry_run = E.dry_run;
    area->undo_backspace = E.undo_backspace;
    area->case_form = c.form;
    area->matched = c.matched;
    area->erase = 0;
    area->left = 0;
}

}  // namespace

te_pass_area* te_pass_area_get(void) {
    if (!tl_pass_area) tl_pass_area.reset(new (std::nothrow) te_pass_area);
    return tl_pass_area.get();
}

int te_any_snippet_ends_locked(const te_text_end& t, te_trigger_kind kind) {
    return te_choose_snippet_locked(t, nullptr, "", kind).index >= 0;
}

int te_choose_and_copy(te_pass_area* area, const te_text_end& t, const char* process, te_trigger_kind kind) {
    bool named = process && process[0];
    te_program program;
    if (named) te_program_init(&program, process);
    te_engine_guard g(te_engine_lock);
    te_rule_verdict v = named ? te_rules_for_locked(program) : te_rule_verdict{0, ""};
    if (v.blocked) return 0;
    te_choice c = te_choose_snippet_locked(t, named ? &program : nullptr, v.prefix, kind);
    if (c.index < 0) return 0;
    te_copy_snippet_locked(area, c);
    return 1;
}

int te_front_is_skipped(void) {
    int skip;
    {
        te_engine_guard g(te_engine_lock);
        skip = E.skip_own_windows;
    }
    return skip && foreground_is_this_process();
}

int te_expansion_text_make(te_pass_area* area, const char* separator, te_expansion_text* out) {
    te_rendering r;
    if (!te_render_run(te_render_job{area->text, area->locale, area->trigger}, &r)) return 0;
    std::size_t caret = r.caret;
    if (area->case_form == TE_CASE_AS_IS) {
        out->rendered.assign(r.text, r.len);
    } else {
        // Capitals take at most half as many bytes again as the letters.
        std::size_t cap = r.len / 2 * 3 + 4 < TE_RENDER_MAX ? r.len / 2 * 3 + 4 : TE_RENDER_MAX;
        out->rendered.assign(cap, '\0');
        out->rendered.resize(
            te_case_apply(r.text, r.len, (te_case_form)area->case_form, &caret, &out->rendered[0], cap));
    }
    out->typed = out->rendered + separator;
    out->caret = caret == TE_NO_CARET ? out->typed.size() : caret;
    return 1;
}

int te_type_copied(te_pass_area* area, const char* text, const char* rendered, const char* process) {
    int typed = area->erase ? type_replacing(area->erase, text, area->dry_run) : type_text_utf8(text, area->dry_run);
    if (typed == TE_TYPING_CLICKED) return 0;
    // The caret back to the {cursor}; a refusal leaves it after the text.
    if (typed == 0 && area->left > 0) press_key(TE_PRESS_LEFT, area->left, area->dry_run);
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
    te_expansion_text x;
    if (!te_expansion_text_make(area, "", &x)) return 0;
    area->left = (int)te_caret_steps(x.typed.data() + x.caret, x.typed.size() - x.caret);
    return te_type_copied(area, x.typed.c_str(), x.rendered.c_str(), process);
}

// The watch pass on `text`. With `follow_store` (the worker's passes), a
// store file another process changed is read again first.
int te_watch_pass_on(const char* text, const char* process, int follow_store) {
    if (!text || !text[0]) return 0;
    te_pass_area* area = te_pass_area_get();
    if (!area) return 0;
    if (follow_store) store_follow();
    if (!te_choose_and_copy(area, te_text_end_of(text), process, TE_ANY_TRIGGER)) return 0;
    int r = te_expand_copied(area, process);
    return r == 0 ? -1 : r;
}

// The watch pass on the clipboard text and the program in front.
int te_clipboard_pass(int follow_store) {
    te_pass_area* area = te_pass_area_get();
    if (!area) return 0;
    const char* text = get_clipboard_text_utf8(area->clipboard, TE_CLIPBOARD_CAP);
    if (!text || !text[0] || te_front_is_skipped()) return 0;
    const char* process = foreground_process_name(area->process, TE_LAST_CAP);
    return te_watch_pass_on(text, process, follow_store);
}

}  // namespace

int te_watch_pass_following_store(void) { return te_clipboard_pass(1); }

extern "C" int te_watch_pass_text(const char* text, const char* process) {
    return te_watch_pass_on(text, process, 0);
}

extern "C" int te_watch_pass(void) { return te_clipboard_pass(0); }

namespace {

// Whether the rules and the snippet's apps list let snippet `index` expand
// in `process` as its typed trigger would. 1 yes; 0 no, with the message
// set. Lock held.
int te_allowed_in_locked(int index, const char* process) {
    te_program program;
    te_program_init(&program, process);
    te_rule_verdict v = te_rules_for_locked(program);
    const TeSnippet& s = E.snippets[index];
    if (v.blocked) {
        te_set_err_internal("snippets are blocked in %s", process);
        return 0;
    }
    if (!te_apps_allow(s.apps, program)) {
        te_set_err_internal("%s is not for %s", s.trigger, process);
        return 0;
    }
    if (v.prefix[0] && std::strncmp(s.trigger, v.prefix, std::strlen(v.prefix)) != 0) {
        te_set_err_internal("triggers in %s begin with %s", process, v.prefix);
        return 0;
    }
    return 1;
}

}  // namespace

extern "C" int te_expand_in_front(const char* trigger) {
    te_pass_area* area = te_pass_area_get();
    const char* process = area ? foreground_process_name(area->process, TE_LAST_CAP) : nullptr;
    {
        te_engine_guard g(te_engine_lock);
        te_load_defaults();
        if (!trigger || !trigger[0]) {
            te_set_err_internal("expand: null trigger");
            return -1;
        }
        int index = te_snippet_find(trigger);
        if (index < 0) {
            te_set_err_internal("no such trigger: %s", trigger);
            return -1;
        }
        if (!area) return -1;
        if (process && process[0] && !te_allowed_in_locked(index, process)) return 0;
        te_choice c;
        c.index = index;
        te_copy_snippet_locked(area, c);
    }
    int r = te_expand_copied(area, process);
    return r == 0 ? -1 : r;
}

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
        te_choice c;
        c.index = index;
        te_copy_snippet_locked(area, c);
    }
    return te_expand_copied(area, nullptr) == 1 ? 1 : 0;
}
