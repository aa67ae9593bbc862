#include "snippet_editor.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QCoreApplication>
#include <QFormLayout>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "placeholder_menu.h"
#include "preview_renderer.h"

namespace {

// The choices of a setting a snippet may have of its own, with the value
// each stands for.
QComboBox* te_setting_box(const QString& on, const QString& off) {
    auto* box = new QComboBox;
    box->addItem(QCoreApplication::translate("te_snippet_editor", "as for all snippets"), -1);
    box->addItem(on, 1);
    box->addItem(off, 0);
    return box;
}

void te_show_setting(QComboBox* box, int value) { box->setCurrentIndex(box->findData(value)); }

// Where {cursor} leaves the caret, in the preview.
const QChar TE_CARET_MARK(0x2038);

}  // namespace

te_snippet_editor::te_snippet_editor(QWidget* parent)
    : QWidget(parent),
      m_trigger(new QLineEdit),
      m_folder(new QLineEdit),
      m_apps(new QLineEdit),
      m_case(te_setting_box(tr("Btw and BTW give their text so"), tr("the text as written"))),
      m_word(te_setting_box(tr("after a space or punctuation"), tr("at its last character"))),
      m_locale(new QLineEdit),
      m_text(new QPlainTextEdit),
      m_preview(new QPlainTextEdit),
      m_message(new QLabel),
      m_save_hint(new QLabel),
      m_clock(new QTimer(this)),
      m_renderer(new te_preview_renderer(this)) {
    setObjectName("editor");
    m_trigger->setObjectName("trigger");
    m_folder->setObjectName("folder");
    m_apps->setObjectName("apps");
    m_text->setObjectName("text");
    m_preview->setObjectName("preview");
    m_message->setObjectName("message");
    m_trigger->setPlaceholderText(tr("what you type to have the text, such as >>hi"));
    m_apps->setPlaceholderText(tr("every program, or names as on the Rules page, such as firefox,gedit"));
    m_case->setObjectName("case_setting");
    m_word->setObjectName("word_setting");
    m_locale->setObjectName("locale_setting");
    m_locale->setPlaceholderText(tr("as for all snippets, or such as de_DE"));
    m_text->setTabChangesFocus(true);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_preview->setFont(m_text->font());
    m_preview->setReadOnly(true);
    m_preview->setFocusPolicy(Qt::NoFocus);
    m_message->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(tr("&Trigger"), m_trigger);
    form->addRow(tr("F&older"), m_folder);
    form->addRow(tr("&Apps"), m_apps);
    form->addRow(tr("Settings"), build_settings());
    form->addRow(tr("Te&xt"), m_text);
    form->addRow(tr("Preview"), m_preview);
    auto* bar = new QWidget;
    build_buttons(bar);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form, 1);
    layout->addWidget(m_message);
    layout->addWidget(bar);

    for (QLineEdit* e : {m_trigger, m_folder, m_apps, m_locale})
        connect(e, &QLineEdit::textChanged, this, &te_snippet_editor::update_state);
    for (QComboBox* b : {m_case, m_word})
        connect(b, &QComboBox::currentIndexChanged, this, &te_snippet_editor::update_state);
    connect(m_text, &QPlainTextEdit::textChanged, this, &te_snippet_editor::update_state);
    connect(m_text, &QPlainTextEdit::textChanged, this, &te_snippet_editor::render_preview);
    connect(m_text, &QPlainTextEdit::textChanged, this, &te_snippet_editor::follow_clock);
    connect(m_renderer, &te_preview_renderer::rendered, m_preview, &QPlainTextEdit::setPlainText);
    connect(m_clock, &QTimer::timeout, this, &te_snippet_editor::render_preview);
    m_clock->setInterval(1000);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        if (m_text->toPlainText().contains(QLatin1String("{clipboard"))) render_preview();
    });
    start_new(QString());
}

QWidget* te_snippet_editor::build_settings() {
    auto* settings = new QWidget;
    auto* row = new QHBoxLayout(settings);
    row->setContentsMargins(0, 0, 0, 0);
    const QString labels[] = {tr("Case:"), tr("Expands:"), tr("Names:")};
    QWidget* fields[] = {m_case, m_word, m_locale};
    for (int i = 0; i < 3; i++) {
        auto* label = new QLabel(labels[i]);
        label->setBuddy(fields[i]);
        row->addWidget(label);
        row->addWidget(fields[i], 1);
    }
    return settings;
}

void te_snippet_editor::build_buttons(QWidget* bar) {
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    m_save = new QPushButton(tr("Save"));
    m_revert = new QPushButton(tr("Revert"));
    auto* add = new QPushButton(tr("New"));
    m_delete = new QPushButton(tr("Delete"));
    m_save->setObjectName("save");
    m_delete->setObjectName("delete");
    m_save_hint->setObjectName("save_hint");
    m_save_hint->setStyleSheet("color: #666666;");
    for (QPushButton* b : {m_save, m_revert, add, m_delete}) row->addWidget(b);
    row->addWidget(m_save_hint, 1);
    auto* insert = new QToolButton;
    insert->setObjectName("insert_placeholder");
    insert->setText(tr("&Insert"));
    insert->setToolTip(tr("Put a placeholder at the caret: the date in any form, the caret's place, another "
                          "snippet..."));
    insert->setPopupMode(QToolButton::InstantPopup);
    insert->setMenu(te_placeholder_menu(m_text, insert));
    row->addWidget(insert);
    connect(m_save, &QPushButton::clicked, this, &te_snippet_editor::save);
    connect(m_revert, &QPushButton::clicked, this, &te_snippet_editor::revert);
    connect(add, &QPushButton::clicked, this, &te_snippet_editor::new_requested);
    connect(m_delete, &QPushButton::clicked, this, [this] { emit delete_requested(m_stored_trigger); });
}

void te_snippet_editor::load(const te_snippet_row& row) {
    m_stored = row;
    m_stored_trigger = row.trigger;
    show_fields(row);
}

void te_snippet_editor::start_new(const QString& folder) {
    m_stored = te_snippet_row{};
    m_stored.folder = folder;
    m_stored_trigger.clear();
    show_fields(m_stored);
    m_message->setStyleSheet("color: #666666;");
    m_message->setText(tr("A new snippet: type its trigger and the text it stands for, then Save."));
}

void te_snippet_editor::show_fields(const te_snippet_row& row) {
    m_trigger->setText(row.trigger);
    m_folder->setText(row.folder);
    m_apps->setText(row.apps);
    te_show_setting(m_case, row.propagate_case);
    te_show_setting(m_word, row.word_triggers);
    m_locale->setText(row.locale);
    m_text->setPlainText(row.text);
    m_message->clear();
    update_state();
}

te_snippet_row te_snippet_editor::fields() const {
    te_snippet_row row{m_trigger->text(), m_folder->text(), m_apps->text(), m_text->toPlainText()};
    row.propagate_case = m_case->currentData().toInt();
    row.word_triggers = m_word->currentData().toInt();
    row.locale = m_locale->text().trimmed();
    return row;
}

bool te_snippet_editor::is_dirty() const { return fields() != m_stored; }

bool te_snippet_editor::save() {
    te_snippet_row row = fields();
    QString error;
    // Over a stored snippet only if it is still as it was loaded: the
    // library compares under the store's lock, so a change made elsewhere
    // meanwhile is never written over.
    const te_snippet_row* expected = m_stored_trigger.isEmpty() ? nullptr : &m_stored;
    QString field;
    if (!te_save_snippet(m_stored_trigger, row, expected, &error, &field)) {
        if (expected && changed_elsewhere()) return false;
        show_message(tr("Not saved: %1").arg(error), true);
        focus_field(field);
        return false;
    }
    // What the library stored (an empty apps field becomes "*"): what a
    // later save is checked against.
    te_snippet_row stored = row;
    te_fetch_snippet(row.trigger, &stored);
    load(stored);
    show_message(tr("Saved."), false);
    emit saved(row.trigger);
    return true;
}

// After a refused save over a stored snippet: true when another process
// changed or deleted it since it was loaded. Nothing was saved, the user's
// text stays, and the other version becomes the stored one: Save again
// puts the text over it, Revert takes it.
bool te_snippet_editor::changed_elsewhere() {
    te_snippet_row now;
    bool there = te_fetch_snippet(m_stored_trigger, &now);
    if (there && now == m_stored) return false;
    QString trigger = m_stored_trigger;
    m_stored = there ? now : te_snippet_row{};
    if (!there) m_stored_trigger.clear();
    show_message(tr("Not saved: %1 was %2 elsewhere since you opened it. Your text is still here: Save again to "
                    "store it anyway, or Revert to take the other version.")
                     .arg(trigger, there ? tr("changed") : tr("deleted")),
                 true);
    update_state();
    return true;
}

void te_snippet_editor::restore(const te_snippet_row& stored, const QString& stored_trigger,
                                const te_snippet_row& unsaved) {
    m_stored = stored;
    m_stored_trigger = stored_trigger;
    show_fields(unsaved);
    show_message(tr("Your unsaved changes from last time are back: Save keeps them, Revert drops them."), false);
}

void te_snippet_editor::revert() { show_fields(m_stored); }

void te_snippet_editor::show_message(const QString& text, bool is_error) {
    m_message->setStyleSheet(is_error ? "color: #b00020;" : "color: #2e7d32;");
    m_message->setText(text);
}

void te_snippet_editor::show_warning(const QString& text) {
    m_message->setStyleSheet("color: #8a5a00;");
    m_message->setText(text);
}

// The cursor into the field a refusal is about.
void te_snippet_editor::focus_field(const QString& field) {
    QWidget* target = field == QLatin1String("trigger")  ? static_cast<QWidget*>(m_trigger)
                      : field == QLatin1String("text")   ? static_cast<QWidget*>(m_text)
                      : field == QLatin1String("locale") ? static_cast<QWidget*>(m_locale)
                                                         : nullptr;
    if (target) target->setFocus();
}

void te_snippet_editor::focus_trigger() {
    m_trigger->setFocus();
    m_trigger->selectAll();
}

void te_snippet_editor::update_state() {
    bool dirty = is_dirty();
    if (m_was_dirty && !dirty) emit settled();
    m_was_dirty = dirty;
    m_save->setEnabled(dirty);
    m_revert->setEnabled(dirty);
    m_delete->setEnabled(!m_stored_trigger.isEmpty());
    // A greyed-out Save says why.
    QString why = dirty                       ? QString()
                  : m_stored_trigger.isEmpty() ? tr("Nothing to save yet: type a trigger and its text.")
                                               : tr("Nothing changed since it was saved.");
    m_save_hint->setText(why);
    m_save->setToolTip(why);
}

// The preview is rendered again each second only while it is shown and
// its text holds the date or the time: an idle window sleeps.
void te_snippet_editor::follow_clock() {
    QString text = m_text->toPlainText();
    bool timed = text.contains(QLatin1String("{time")) || text.contains(QLatin1String("{date")) ||
                 text.contains(QLatin1String("{year"));
    if (timed && isVisible() && !m_clock->isActive()) m_clock->start();
    if ((!timed || !isVisible()) && m_clock->isActive()) m_clock->stop();
}

void te_snippet_editor::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    follow_clock();
}

void te_snippet_editor::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    follow_clock();
}

void te_snippet_editor::render_preview() {
    QString text = m_text->toPlainText();
    // The caret's place shown by a mark the library leaves as it is.
    int cursor = text.indexOf(QLatin1String("{cursor}"));
    if (cursor >= 0) text.replace(cursor, 8, TE_CARET_MARK);
    m_renderer->request(text);
}
