// Keys mode: the worker follows what the user types and replaces a trigger
// the moment its last character is typed.
//
// The user does not stop typing for the engine. From the moment a trigger
// is to be replaced until its expansion is typed, the desktop holds the
// user's keys back (keys_hold_begin) and gives them to the window
// afterwards (keys_hold_end), so they land after the expansion. Keys that
// reached the window before the hold took effect are in the watch's queue
// right behind the trigger's last key: their characters are in the window
// after the trigger, so they are erased with it and typed again after the
// expansion. A key among them that moves the caret or the focus, or a
// BackSpace that reaches back into the trigger, leaves the trigger
// somewhere the engine no longer knows: that expansion is called off, and
// nothing is erased or typed.
#include "keys_mode.h"

#include <cstring>
#include <string>

#include "engine.h"
#include "expansion.h"
#include "memory_wipe.h"
#include "render.h"
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

// Replaces the trigger copied into the area with `rendered`, holding the
// user's keys meanwhile. 1 expanded, 0 not (called off, or another program
// holds the keyboard), -1 the typing was refused. *again: characters typed
// after the trigger now follow the expansion and may end a trigger.
int te_replace_held(te_typed_buffer* typed, te_pass_area* area, const char* rendered, const char* process,
                    bool* again) {
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
        for (int i = 0; i < after.count; i++) te_typed_follow(typed, after.events[i]);
    } else {
        area->erase = (int)te_utf8_count(area->trigger) + after.chars;
        std::string text = rendered + after.text;
        r = te_type_copied(area, text.c_str(), rendered, process);
        keys_hold_end();
        te_wipe(&text[0], text.size());
        std::size_t len = std::strlen(rendered);
        te_typed_reset(typed);
        // What is typed next follows the expansion's last character.
        if (r == 1) typed->word_before = len && te_is_word_byte((unsigned char)rendered[len - 1]);
        if (r == 1) te_typed_add_text(typed, after.text);
        *again = r == 1 && after.chars > 0;
    }
    te_after_wipe(&after);
    return r;
}

// A dry run types nothing: the keys that follow are taken as they come.
int te_replace_dry(te_typed_buffer* typed, te_pass_area* area, const char* rendered, const char* process) {
    area->erase = (int)te_utf8_count(area->trigger);
    int r = te_type_copied(area, rendered, rendered, process);
    std::size_t len = std::strlen(rendered);
    te_typed_reset(typed);
    if (r == 1) typed->word_before = len && te_is_word_byte((unsigned char)rendered[len - 1]);
    return r;
}

}  // namespace

int te_keys_pass(te_typed_buffer* typed) {
    te_pass_area* area = te_pass_area_get();
    if (!area) return 0;
    store_follow();
    te_text_end t;
    {
        te_engine_guard g(te_engine_lock);
        te_typed_keep_last(typed, te_trigger_len_max_locked());
        t = te_typed_end(typed);
        // Most keys end no trigger at all: settled before the program in
        // front is asked for.
        if (!te_any_snippet_ends_locked(t)) return 0;
    }
    const char* process = foreground_process_name(area->process, TE_LAST_CAP);
    if (!te_choose_and_copy(area, t, process)) return 0;
    std::size_t len;
    const char* rendered = te_render_text(area->text, &len);
    if (!rendered) return -1;
    if (area->dry_run) return te_replace_dry(typed, area, rendered, process);
    bool again = false;
    int r = te_replace_held(typed, area, rendered, process, &again);
    if (again) te_keys_pass(typed);
    return r;
}

void te_keys_take(te_typed_buffer* typed, const te_key_event& ev) {
    te_typed_follow(typed, ev);
    if (ev.kind == TE_KEY_TEXT) te_keys_pass(typed);
}

void te_keys_run(void) {
    te_typed_buffer typed;
    te_typed_reset(&typed);
    te_key_event ev;
    while (E.running.load()) {
        // Keys mode runs only on a watch that delivers keys; te_stop wakes it.
        if (!(watch_wait(TE_WAIT_FOREVER) & TE_WATCH_KEYS)) continue;
        while (E.running.load() && watch_next_key(&ev)) te_keys_take(&typed, ev);
    }
    te_typed_wipe(&typed);
    te_wipe(&ev, sizeof ev);
}
