// Import and export files. An export file is the te_snippets_json text, the
// form `te export` writes, created readable by its user alone. An import
// file is a JSON array of snippet objects or such an export file, as
// `te import` takes it.
#ifndef TE_MANAGER_SNIPPET_FILES_H
#define TE_MANAGER_SNIPPET_FILES_H

#include <QByteArray>
#include <QString>

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
// True when the library took the file (even if it added nothing new:
// existing triggers are replaced); *message says how many were added and
// which were refused. False, with the library's message whatever it is,
// when the import failed.
bool te_import_from(const QString& path, QString* message);

#endif
