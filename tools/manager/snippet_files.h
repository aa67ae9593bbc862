// Import and export files. An export file is the te_snippets_json text, the
// form `te export` writes, created readable by its user alone. An import
// file is a JSON array of snippet objects or such an export file, as
// `te import` takes it.
#ifndef TE_MANAGER_SNIPPET_FILES_H
#define TE_MANAGER_SNIPPET_FILES_H

#include <QByteArray>
#include <QString>

#include "import_plan.h"

// Replaces the file at `path` with `data` in one step, creating it (and
// any missing folder above it) readable by its user alone. False with the
// reason.
bool te_save_private(const QString& path, const QByteArray& data, QString* error);

// True with *problem ("cannot read PATH: reason") when the store file is
// there but cannot be read: the library then holds the seed snippets in its
// place, which must not be shown or exported as the user's.
bool te_store_problem(const QString& store_path, QString* problem);

// Writes the snippets of `store_path` to `path`; refused while the store
// cannot be read. True when written; *message says what was done or what
// went wrong.
bool te_export_to(const QString& store_path, const QString& path, QString* message);
// Plans the import of the file at `path` (te_plan_import: what it adds,
// replaces or keeps and what it refuses). False with *message ("Import
// failed: PATH: why") when there is nothing to import from.
bool te_plan_import_file(const QString& path, bool keep_existing, te_import_plan* plan, QString* message);
// Imports what the plan stores. *message says what was added, replaced or
// kept, and what was not imported and why. False when nothing could be
// stored (the import failed, or every snippet was refused); true otherwise,
// with *problems true when some snippets were left out.
bool te_run_import_plan(const QString& path, const te_import_plan& plan, bool keep_existing, QString* message,
                        bool* problems);

#endif
