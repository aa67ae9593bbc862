// The editor's unsaved text, kept when the window has to end without asking
// (a stop signal, the session's end) and offered back at the next start.
// It stays until its text is saved or the user drops it (Revert, Discard),
// so a window killed or ended again before that offers it once more.
// It lives beside the store as "<store>.draft": a JSON object
// {"stored","trigger","folder","apps","text","settings"}, "stored" being
// the trigger the snippet was stored under ("" for a new one), mode 0600.
#ifndef TE_MANAGER_DRAFT_FILE_H
#define TE_MANAGER_DRAFT_FILE_H

#include <QString>

#include "engine_client.h"

QString te_draft_path(const QString& store_path);
// Writes the draft in one step. False with the reason.
bool te_keep_draft(const QString& path, const QString& stored_trigger, const te_snippet_row& fields, QString* error);
// Reads the draft; the file stays. False when there is none (or it is not
// a draft).
bool te_read_draft(const QString& path, QString* stored_trigger, te_snippet_row* fields);
// Removes the draft: its text was saved or dropped.
void te_drop_draft(const QString& path);

#endif
