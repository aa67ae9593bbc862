// The snippet list: a table model over one vector of rows, filtered by a
// search text (triggers and texts, case-insensitive) and a folder. Each row
// keeps lower-cased copies of its trigger and text, so a keystroke in the
// search field costs one scan of plain strings and one model reset.
#ifndef TE_MANAGER_SNIPPET_MODEL_H
#define TE_MANAGER_SNIPPET_MODEL_H

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

#include "engine_client.h"

class te_snippet_model : public QAbstractTableModel {
    Q_OBJECT
public:
    enum { COLUMN_TRIGGER, COLUMN_FOLDER, COLUMN_TEXT, COLUMN_COUNT };

    explicit te_snippet_model(QObject* parent = nullptr);

    void set_rows(const std::vector<te_snippet_row>& rows);
    // `folder` null: every folder; otherwise exactly that folder ("" for
    // snippets without one).
    void set_filter(const QString& search, const QString& folder);

    int total() const { return (int)m_all.size(); }
    // The snippet at a row of the filtered list, or null.
    const te_snippet_row* row_at(int row) const;
    // The row of the filtered list that shows `trigger`, or -1.
    int row_of(const QString& trigger) const;
    // The distinct folders, sorted; "" when a snippet has none.
    QStringList folders() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct te_entry {
        te_snippet_row row;
        QString first_line;
        QString trigger_key;  // lower-cased
        QString text_key;     // lower-cased
    };

    bool matches(const te_entry& e) const;
    void refilter(bool narrowing);

    std::vector<te_entry> m_all;
    std::vector<int> m_visible;  // indexes into m_all
    QString m_search;            // lower-cased
    QString m_folder;
};

#endif
