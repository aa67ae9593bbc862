// Keys mode: the worker follows what the user types and replaces a trigger
// the moment its last character is typed, or, for a word trigger, once the
// character after it ends the word.
//
// The user does not stop typing for the engine. From the moment a trigger
// is to be replaced until its expansion is typed, the desktop holds the
// user's keys back (keys_hold_begin) and gives them to the window
// afterwards (keys_hold_end), so they land after the expansion, at the
// caret (the {cursor}, else its end). Keys that reached the window before
// the hold took effect are in the watch's queue right behind the trigger's
// last key (or its separator): their characters are in the window after
// it, so they are erased with it and typed again at the caret. A key among
// them that moves the caret or the focus, or a BackSpace that reaches back
// into the trigger, leaves the trigger somewhere the engine no longer
// knows: that expansion is called off, and nothing is erased or typed.
#include "keys_mode.h"

#include <cstring>
#include <string>

#include "caret_steps.h"
#include "expansion.h"
#include "memory_wipe.h"
#include "store.h"

namespace {

// More keys than this between the trigger and the hold: called off.
enum { TE_AFTER_EVENTS = 256 };

// The keys that reached the window after the trigger, before the hold.
struct te_after_keys {
    te_key_event events[TE_AFTER_EVENTS];
    int count = 0;
    std::string text;   // the characters they left after the trigger
    int chars = 0;
    bool called_off = false;
};

void te_after_add(te_after_keys* a, const te_key_event& ev) {
    if (a->count == TE_AFTER_EVENTS) {
        a->called_off = true;
        return;
    }
    a->events[a->count++] = ev;
    if (ev.kind == TE_KEY_TEXT) {
        a->text += ev.text;
        a->chars++;
    } else if (ev.kind == TE_KEY_BACKSPACE && a->chars > 0) {
        std::size_t n = a->text.size() - 1;
        while (n > 0 && ((unsigned char)a->text[n] & 0xC0) == 0x80) n--;
        a->text.resize(n);
        a->chars--;
    } else {
        a->called_off = true;  // a reset, or a BackSpace into the trigger
    }
}

void te_after_take_all(te_after_keys* a) {
    te_key_event ev;
    while (watch_next_key(&ev)) te_after_add(a, ev);
    te_wipe(&ev, sizeof ev);
}

void te_after_wipe(te_after_keys* a) {
    te_wipe(a->events, sizeof a->events);
    te_wipe(&a->text[0], a->text.size());
}

void te_string_wipe(std::string* s) { te_wipe(&(*s)[0], s->size()); }

// The buffer follows keys without looking for triggers among them.
void te_typed_follow(te_typed_buffer* typed, const te_key_event& ev) {
    if (ev.kind == TE_KEY_TEXT) te_typed_add(typed, ev.text);
    else if (ev.kind == TE_KEY_BACKSPACE) te_typed_backspace(typed);
    else te_typed_reset(typed);
}

// Adds a text one character at a time.
void te_typed_add_text(te_typed_buffer* typed, const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = 1;
        while (i + n < text.size() && ((unsigned char)text[i + n] & 0xC0) == 0x80) n++;
        te_typed_add(typed, text.substr(i, n).c_str());
        i += n;
    }
}

// What comes next follows `text`'s last character.
void te_typed_after(te_typed_buffer* typed, const std::string& text) {
    te_typed_reset(typed);
    typed->word_before = !text.empty() && te_is_word_byte((unsigned char)text.back());
}

bool te_in(std::uint32_t cp, std::uint32_t lo, std::uint32_t hi) { return cp >= lo && cp <= hi; }

// A character that ends a word: white space or punctuation.
bool te_is_separator(const char* text) {
    const unsigned char* u = reinterpret_cast<const unsigned char*>(text);
    if (u[0] < 0x80) return u[0] >= 0x20 && u[0] != 0x7F && !te_is_word_byte(u[0]) && !u[1];
    std::uint32_t cp = 0;
    int n = u[0] >= 0xF0 ? 4 : u[0] >= 0xE0 ? 3 : 2;
    cp = u[0] & (0xFF >> (n + 1));
    for (int i = 1; i < n && u[i]; i++) cp = (cp << 6) | (u[i] & 0x3F);
    bool latin1 = te_in(cp, 0xA0, 0xBF) && cp != 0xAA && cp != 0xB2 && cp != 0xB3 && cp != 0xB5 && cp != 0xB9 &&
                  cp != 0xBA && cp != 0xBC && cp != 0xBD && cp != 0xBE;
    return latin1 || cp == 0xD7 || cp == 0xF7 || te_in(cp, 0x2000, 0x206F) || te_in(cp, 0x3000, 0x3003) ||
           te_in(cp, 0x3008, 0x3011) || te_in(cp, 0x3014, 0x301F) || te_in(cp, 0xFF01, 0xFF0F) ||
           te_in(cp, 0xFF1A, 0xFF20) || te_in(cp, 0xFF3B, 0xFF3E) || te_in(cp, 0xFF5B, 0xFF65);
}

// What a key types when it ends a word (a character, Enter or Tab), else
// null.
const char* te_separator_of(const te_key_event& ev) {
    if (ev.kind == TE_KEY_RESET) return ev.text[0] ? ev.text : nullptr;
    return ev.kind == TE_KEY_TEXT && te_is_separator(ev.text) ? ev.text : nullptr;
}

// Arms the undo of an expansion that typed `x` (nothing typed after its
// trigger): the trigger as typed (`trigger`) and the separator come back.
void te_undo_arm(te_keys_state* k, const te_expansion_text& x, const std::string& trigger, const char* separator) {
    std::size_t before = te_caret_steps(x.typed.data(), x.caret);
    if (before == 0 || trigger.size() + std::strlen(separator) >= sizeof k->undo.restore) return;
    k->undo.armed = true;
    k->undo.before = (int)before;
    k->undo.after = (int)te_caret_steps(x.typed.data() + x.caret, x.typed.size() - x.caret);
    std::strcpy(k->undo.restore, trigger.c_str());
    std::strcat(k->undo.restore, separator);
}

// How one expansion goes in keys mode.
struct te_keys_expansion {
    te_pass_area* area;
    const te_key_event* separator;  // the key that ended a word trigger, or null
    std::string trigger;             // the trigger as typed
    te_expansion_text x;
    const char* process;
};

const char* te_separator_text(const te_keys_expansion& e) { return e.separator ? e.separator->text : ""; }

// Replaces the trigger (and its separator) with the expansion, holding the
// user's keys meanwhile. 1 expanded, 0 not (called off, or another program
// holds the keyboard), -1 the typing was refused. *again: characters typed
// after the trigger now follow the expansion and may end a trigger.
int te_replace_held(te_keys_state* k, te_keys_expansion& e, bool* again) {
    te_typed_buffer* typed = &k->typed;
    int hold = keys_hold_begin();
    if (hold == TE_HOLD_REFUSED) {
        // A password prompt or a screen locker: what was typed is its own.
        te_typed_wipe(typed);
        te_typed_reset(typed);
        return 0;
    }
    te_after_keys after;
    te_after_take_all(&after);
    int r = 0;
    if (after.called_off) {
        keys_hold_end();
        if (e.separator) te_typed_follow(typed, *e.separator);
        for (int i = 0; i < after.count; i++) te_typed_follow(typed, after.events[i]);
    } else {
        const std::string& x = e.x.typed;
        e.area->erase = (int)te_utf8_count(e.trigger.c_str()) + (e.separator ? 1 : 0) + after.chars;
        e.area->left = (int)te_caret_steps(x.data() + e.x.caret, x.size() - e.x.caret);
        std::string text = x.substr(0, e.x.caret) + after.text + x.substr(e.x.caret);
        r = te_type_copied(e.area, text.c_str(), e.x.rendered.c_str(), e.process);
        keys_hold_end();
        te_string_wipe(&text);
        te_typed_reset(typed);
        if (r == 1) {
            te_typed_after(typed, x.substr(0, e.x.caret));
            te_typed_add_text(typed, after.text);
            if (after.count == 0 && e.area->undo_backspace) te_undo_arm(k, e.x, e.trigger, te_separator_text(e));
        }
        *again = r == 1 && after.chars > 0;
    }
    te_after_wipe(&after);
    return r;
}

// A dry run types nothing: the keys that follow are taken as they come.
int te_replace_dry(te_keys_state* k, te_keys_expansion& e) {
    e.area->erase = (int)te_utf8_count(e.trigger.c_str()) + (e.separator ? 1 : 0);
    int r = te_type_copied(e.area, e.x.typed.c_str(), e.x.rendered.c_str(), e.process);
    te_typed_reset(&k->typed);
    if (r == 1) te_typed_after(&k->typed, e.x.typed);
    return r;
}

// The pass for triggers of one kind on the buffer; `separator` is the key
// that ended the word for word triggers (not in the buffer). *chosen tells
// whether a snippet was chosen (the separator is then dealt with).
int te_keys_expand(te_keys_state* k, te_trigger_kind kind, const te_key_event* separator, bool* chosen) {
    *chosen = false;
    te_pass_area* area = te_pass_area_get();
    if (!area) return 0;
    store_follow();
    te_text_end t;
    {
        te_engine_guard g(te_engine_lock);
        te_typed_keep_last(&k->typed, te_trigger_len_max_locked());
        t = te_typed_end(&k->typed);
        // Most keys end no trigger at all: settled before the program in
        // front is asked for.
        if (!te_any_snippet_ends_locked(t, kind)) return 0;
    }
    // A window of the host itself: its own fields are typed in as typed.
    if (te_front_is_skipped()) return 0;
    te_keys_expansion e;
    e.area = area;
    e.separator = separator;
    e.process = foreground_process_name(area->process, TE_LAST_CAP);
    if (!te_choose_and_copy(area, t, e.process, kind)) return 0;
    *chosen = true;
    e.trigger.assign(t.text + t.len - area->matched, area->matched);
    if (!te_expansion_text_make(area, te_separator_text(e), &e.x)) return -1;
    int r;
    bool again = false;
    if (area->dry_run) r = te_replace_dry(k, e);
    else r = te_replace_held(k, e, &again);
    te_string_wipe(&e.trigger);
    if (again) te_keys_pass(k);
    return r;
}

// Takes the last expansion back after the user's BackSpace, holding the
// user's keys meanwhile. False when that is not to be (the BackSpace is
// then followed as any other).
bool te_undo(te_keys_state* k, const te_keys_undo& u) {
    if (keys_hold_begin() == TE_HOLD_REFUSED) return false;
    te_after_keys after;
    te_after_take_all(&after);
    if (after.count == 0) {
        // The Deletes first: they leave the caret where it is.
        int r = u.after > 0 ? press_key(TE_PRESS_DELETE, u.after, 0) : 0;
        if (r == 0) type_replacing(u.before - 1, u.restore, 0);
    }
    keys_hold_end();
    te_typed_reset(&k->typed);
    if (after.count == 0) {
        te_typed_after(&k->typed, u.restore);
    } else {  // the user typed on: the BackSpace was one of theirs
        te_typed_backspace(&k->typed);
        for (int i = 0; i < after.count; i++) te_typed_follow(&k->typed, after.events[i]);
    }
    te_after_wipe(&after);
    return true;
}

}  // namespace

void te_keys_reset(te_keys_state* k) {
    te_typed_reset(&k->typed);
    k->undo.armed = false;
}

void te_keys_wipe(te_keys_state* k) { te_wipe(k, sizeof *k); }

int te_keys_pass(te_keys_state* k) {
    bool chosen;
    return te_keys_expand(k, TE_IMMEDIATE_TRIGGERS, nullptr, &chosen);
}

void te_keys_take(te_keys_state* k, const te_key_event& ev) {
    te_keys_undo undo = k->undo;
    te_wipe(&k->undo, sizeof k->undo);
    bool undone = undo.armed && ev.kind == TE_KEY_BACKSPACE && te_undo(k, undo);
    te_wipe(&undo, sizeof undo);
    if (undone) return;
    bool chosen = false;
    if (te_separator_of(ev)) te_keys_expand(k, TE_WORD_TRIGGERS, &ev, &chosen);
    if (chosen) return;
    te_typed_follow(&k->typed, ev);
    if (ev.kind == TE_KEY_TEXT) te_keys_pass(k);
}

void te_keys_run(void) {
    te_keys_state k;
    te_keys_reset(&k);
    te_key_event ev;
    while (E.running.load()) {
        // Keys mode runs only on a watch that delivers keys; te_stop wakes it.
        if (!(watch_wait(TE_WAIT_FOREVER) & TE_WATCH_KEYS)) continue;
        while (E.running.load() && watch_next_key(&ev)) te_keys_take(&k, ev);
    }
    te_keys_wipe(&k);
    te_wipe(&ev, sizeof ev);
}
