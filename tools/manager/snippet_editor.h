// The editor beside the list: trigger, folder, apps, the snippet's own
// settings and the text, a menu of the placeholders, a live preview of the
// text as it would be typed now (a caret mark, "‸", where {cursor} leaves
// the caret), and Save, Revert, New and Delete. A refused save shows the
// library's message and changes nothing.
#ifndef TE_MANAGER_SNIPPET_EDITOR_H
#define TE_MANAGER_SNIPPET_EDITOR_H

#include <QWidget>

#include "engine_client.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class te_preview_renderer;

class te_snippet_editor : public QWidget {
    Q_OBJECT
public:
    explicit te_snippet_editor(QWidget* parent = nullptr);

    // Shows a stored snippet.
    void load(const te_snippet_row& row);
    // An empty snippet to be added, in `folder`.
    void start_new(const QString& folder);
    // The trigger the shown snippet is stored under; empty for a new one.
    QString stored_trigger() const { return m_stored_trigger; }
    const te_snippet_row& stored() const { return m_stored; }
    // The fields differ from what is stored (for a new snippet: anything
    // was typed).
    bool is_dirty() const;
    // Stores the fields. True when the library took them. A snippet that
    // changed on disk since it was loaded is not written over (the library
    // checks it under the store's lock): the fields stay, with a message.
    bool save();
    // Shows `unsaved` as changes not yet saved over `stored` (stored under
    // `stored_trigger`, "" for a new snippet): a draft kept last time.
    void restore(const te_snippet_row& stored, const QString& stored_trigger, const te_snippet_row& unsaved);
    // The fields as they stand, saved or not.
    te_snippet_row fields() const;
    void revert();
    void show_message(const QString& text, bool is_error);
    // Something to know that is no failure (a trigger that begins another).
    void show_warning(const QString& text);
    void focus_trigger();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

signals:
    void saved(const QString& trigger);
    // The fields were changed and now hold nothing unsaved any more: saved,
    // reverted, or left for another snippet.
    void settled();
    void delete_requested(const QString& trigger);
    void new_requested();

private:
    bool changed_elsewhere();
    void show_fields(const te_snippet_row& row);
    void build_buttons(QWidget* bar);
    QWidget* build_settings();
    void update_state();
    void render_preview();
    void follow_clock();
    void focus_field(const QString& field);

    QLineEdit* m_trigger;
    QLineEdit* m_folder;
    QLineEdit* m_apps;
    QComboBox* m_case;  // as for all snippets, on, off
    QComboBox* m_word;
    QLineEdit* m_locale;
    QPlainTextEdit* m_text;
    QPlainTextEdit* m_preview;
    QLabel* m_message;
    QLabel* m_save_hint;  // why Save is greyed out
    QPushButton* m_save;
    QPushButton* m_revert;
    QPushButton* m_delete;
    QTimer* m_clock;  // re-renders, while shown, a preview that shows the date or time
    te_preview_renderer* m_renderer;
    te_snippet_row m_stored;
    QString m_stored_trigger;
    bool m_was_dirty = false;
};

#endif
