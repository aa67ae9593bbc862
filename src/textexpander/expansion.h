// Carrying out an expansion and recording it.
#ifndef TE_EXPANSION_H
#define TE_EXPANSION_H

#include <string>

#include "engine.h"
#include "match.h"

// What one pass works on, one per thread, kept off the stack: the chosen
// snippet copied out of the table, so that rendering and typing need no
// lock.
struct te_pass_area {
    char clipboard[TE_CLIPBOARD_CAP];
    char process[TE_LAST_CAP];
    char trigger[TE_TRIGGER_CAP];
    char text[TE_TEXT_CAP];
    char locale[TE_LOCALE_CAP];  // of the snippet's dates ("" the user's)
    int dry_run;
    int undo_backspace;  // the engine's setting when the snippet was chosen
    int case_form;       // te_case_form: how the trigger was typed
    std::size_t matched;  // the bytes at the end of the text the trigger took
    int erase;  // characters to erase before typing (keys mode: the trigger and what followed it)
    int left;   // Left presses after typing: the caret goes back to the {cursor}
};

// The calling thread's area; null when memory for it cannot be had.
te_pass_area* te_pass_area_get(void);

// Which snippets a pass looks at: all, or only those that expand at once
// or only those that wait for a word separator (word triggers).
enum te_trigger_kind { TE_ANY_TRIGGER = -1, TE_IMMEDIATE_TRIGGERS = 0, TE_WORD_TRIGGERS = 1 };

// 1 when some snippet of the kind ends the text, rules and apps lists left
// aside: the quick test that settles most typed keys. Lock held.
int te_any_snippet_ends_locked(const te_text_end& t, te_trigger_kind kind);

// Chooses the first snippet of the kind whose trigger ends the text (in the
// case the snippet's settings allow) and that the rules and apps lists
// allow for `process` (null or empty: none apply), and copies it into the
// area, with the settings it is expanded with; erase and left are set to 0.
// 1 copied, 0 none. Takes the engine lock itself.
int te_choose_and_copy(te_pass_area* area, const te_text_end& t, const char* process, te_trigger_kind kind);

// 1 when the engine is set to skip its host's own windows and one of them
// is in front: nothing is expanded there, whatever the rules say. Takes
// the engine lock itself, and asks the desktop without it.
int te_front_is_skipped(void);

// What an expansion types, made from the snippet copied into the area.
struct te_expansion_text {
    std::string rendered;  // the snippet's text as rendered, in the case the trigger was typed in
    std::string typed;     // that, with the separator (if any) after it
    std::size_t caret;     // byte offset into `typed` where the caret ends
};

// Renders the copied snippet and puts `separator` (what ended a word
// trigger, else "") after it. 0 when memory for the rendering cannot be had.
int te_expansion_text_make(te_pass_area* area, const char* separator, te_expansion_text* out);

// Types `text` for the snippet copied into the area (erasing area->erase
// characters first, pressing Left area->left times after) and records
// `rendered` as its expansion. 1 done (typed, or nothing to type as
// type_text_utf8 counts it), 0 called off (a click came before the erase:
// nothing typed or recorded), -1 the typing was refused, with the message
// set and nothing recorded.
int te_type_copied(te_pass_area* area, const char* text, const char* rendered, const char* process);

// Records a completed expansion for the statistics: counts it (today's
// count starts afresh on a new local date), and keeps its trigger, its
// program (when not null; invalid UTF-8 repaired) and its text. Takes the
// engine lock itself.
void record_expansion(const char* trigger, const char* expanded_text, const char* process);

// te_watch_pass for the worker: a store file another process changed is
// read again first, so a snippet added there (a `te add` while the host
// runs) expands without a restart. One stat when nothing changed.
int te_watch_pass_following_store(void);

// Local date as year*10000 + month*100 + day.
int te_local_date(void);

#endif
