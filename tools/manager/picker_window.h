// The picker's window: small, frameless, over everything, near the pointer
// (or where the compositor puts it): a search field, the snippets that
// match (first line of the text, trigger at the right), and the selected
// one rendered as it would be typed now. Keyboard only: typing searches,
// Up/Down and Page Up/Down move, Enter picks, Escape closes; so does the
// window losing the focus. Sizes follow the font, so it reads the same at
// any scaling. Built once and shown again for each use.
#ifndef TE_MANAGER_PICKER_WINDOW_H
#define TE_MANAGER_PICKER_WINDOW_H

#include <QWidget>
#include <vector>

class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class te_pick_model;
class te_picker_search;
class te_preview_renderer;

class te_picker_window : public QWidget {
    Q_OBJECT
public:
    explicit te_picker_window(const te_picker_search* search, QWidget* parent = nullptr);

    // Shows it with an empty search and every snippet listed, the search
    // field taking the keys.
    void open();
    // The table or the order changed: lists again for the search typed.
    void refresh();
    QString search_text() const;

signals:
    void picked(const QString& trigger);
    // Closed without a pick: by Escape (`give_back`: the focus goes back to
    // where it was) or by the window losing the focus (it went elsewhere).
    void dismissed(bool give_back);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void search_changed();
    void current_changed();
    void show_with_focus();
    void place();
    void close_with(bool give_back);

    const te_picker_search* m_search_index;
    QLineEdit* m_search;
    QListView* m_list;
    QLabel* m_count;
    QPlainTextEdit* m_preview;
    te_pick_model* m_model;
    te_preview_renderer* m_renderer;
    bool m_waiting = false;  // shown once Qt lets go of its last focus
};

#endif
