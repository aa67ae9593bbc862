// Carrying out an expansion and recording it.
#ifndef TE_EXPANSION_H
#define TE_EXPANSION_H

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
    int dry_run;
    int erase;  // characters to erase before typing (keys mode: the trigger and what followed it)
};

// The calling thread's area; null when memory for it cannot be had.
te_pass_area* te_pass_area_get(void);

// 1 when some snippet's trigger ends the text, rules and apps lists left
// aside: the quick test that settles most typed keys. Lock held.
int te_any_snippet_ends_locked(const te_text_end& t);

// Chooses the first snippet whose trigger ends the text and that the rules
// and apps lists allow for `process` (null or empty: none apply), and
// copies it into the area, with dry_run, and erase set to 0. 1 copied,
// 0 none. Takes the engine lock itself.
int te_choose_and_copy(te_pass_area* area, const te_text_end& t, const char* process);

// Types `text` for the snippet copied into the area (erasing area->erase
// characters first) and records `rendered` as its expansion. 1 done (typed,
// or nothing to type as type_text_utf8 counts it), 0 called off (a click
// came before the erase: nothing typed or recorded), -1 the typing was
// refused, with the message set and nothing recorded.
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
