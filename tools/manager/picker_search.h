// The picker's search over the snippet table: every word of the search
// text, in any case, must be found in a snippet's trigger, folder or text.
// Best matches first: a trigger that begins with a word of the search,
// then a trigger that holds one, then the rest (words in the folder or the
// text only); among equals the snippets used most, lately, first
// (picker_usage.h), then table order. Each entry keeps lower-cased copies
// of what is searched, made once per change of the table, so a keystroke
// costs one scan of plain strings and a sort of what matched.
#ifndef TE_MANAGER_PICKER_SEARCH_H
#define TE_MANAGER_PICKER_SEARCH_H

#include <QHash>
#include <QString>
#include <vector>

#include "engine_client.h"

struct te_pick_entry {
    QString trigger;
    QString first_line;  // of the text
    QString text;
    QString trigger_key;  // lower-cased
    QString haystack;     // folder and text, lower-cased
};

class te_picker_search {
public:
    void set_rows(const std::vector<te_snippet_row>& rows);
    // How much each trigger was used lately (picker_usage.h); others 0.
    void set_usage(const QHash<QString, double>& usage) { m_usage = usage; }

    // The entries that match `search`, best first, as indexes into
    // entries().
    std::vector<int> find(const QString& search) const;
    const std::vector<te_pick_entry>& entries() const { return m_entries; }

private:
    std::vector<te_pick_entry> m_entries;
    QHash<QString, double> m_usage;
};

#endif
