// Carrying out an expansion and recording it.
#ifndef TE_EXPANSION_H
#define TE_EXPANSION_H

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
