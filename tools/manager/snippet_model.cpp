#include "snippet_model.h"

#include <QSet>

te_snippet_model::te_snippet_model(QObject* parent) : QAbstractTableModel(parent) {}

void te_snippet_model::set_rows(const std::vector<te_snippet_row>& rows) {
    std::vector<te_entry> entries;
    entries.reserve(rows.size());
    for (const te_snippet_row& r : rows) {
        QString first = r.text.section(QLatin1Char('\n'), 0, 0);
        entries.push_back(te_entry{r, first, r.trigger.toLower(), r.text.toLower()});
    }
    m_all.swap(entries);
    refilter(false);
}

void te_snippet_model::set_filter(const QString& search, const QString& folder) {
    QString needle = search.toLower();
    // A longer search text that holds the old one, in the same folder, can
    // only drop rows: scan the rows still shown.
    bool narrowing = needle.contains(m_search) && folder == m_folder && folder.isNull() == m_folder.isNull();
    m_search = needle;
    m_folder = folder;
    refilter(narrowing);
}

bool te_snippet_model::matches(const te_entry& e) const {
    if (!m_folder.isNull() && e.row.folder != m_folder) return false;
    return m_search.isEmpty() || e.trigger_key.contains(m_search) || e.text_key.contains(m_search);
}

void te_snippet_model::refilter(bool narrowing) {
    std::vector<int> visible;
    visible.reserve(narrowing ? m_visible.size() : m_all.size());
    if (narrowing) {
        for (int i : m_visible)
            if (matches(m_all[(std::size_t)i])) visible.push_back(i);
    } else {
        for (std::size_t i = 0; i < m_all.size(); i++)
            if (matches(m_all[i])) visible.push_back((int)i);
    }
    beginResetModel();
    m_visible.swap(visible);
    endResetModel();
}

const te_snippet_row* te_snippet_model::row_at(int row) const {
    if (row < 0 || row >= (int)m_visible.size()) return nullptr;
    return &m_all[(std::size_t)m_visible[(std::size_t)row]].row;
}

int te_snippet_model::row_of(const QString& trigger) const {
    for (std::size_t i = 0; i < m_visible.size(); i++)
        if (m_all[(std::size_t)m_visible[i]].row.trigger == trigger) return (int)i;
    return -1;
}

QStringList te_snippet_model::folders() const {
    QSet<QString> seen;
    for (const te_entry& e : m_all) seen.insert(e.row.folder);
    QStringList out(seen.begin(), seen.end());
    out.sort(Qt::CaseInsensitive);
    return out;
}

int te_snippet_model::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : (int)m_visible.size();
}

int te_snippet_model::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : COLUMN_COUNT;
}

QVariant te_snippet_model::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= (int)m_visible.size()) return QVariant();
    const te_entry& e = m_all[(std::size_t)m_visible[(std::size_t)index.row()]];
    switch (index.column()) {
    case COLUMN_TRIGGER: return e.row.trigger;
    case COLUMN_FOLDER: return e.row.folder;
    case COLUMN_TEXT: return e.first_line;
    default: return QVariant();
    }
}

QVariant te_snippet_model::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return QVariant();
    static const char* const names[COLUMN_COUNT] = {"Trigger", "Folder", "Text"};
    return section >= 0 && section < COLUMN_COUNT ? tr(names[section]) : QVariant();
}
