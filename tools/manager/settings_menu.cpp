#include "settings_menu.h"

#include <QAction>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>

#include "engine_runner.h"
#include "mode_choice.h"

namespace {

QAction* te_check(QMenu* menu, const QString& text, const char* name) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(true);
    return action;
}

}  // namespace

te_settings_menu::te_settings_menu(QMenu* menu, te_engine_runner* runner, const QString& store_path, QWidget* window)
    : QObject(window), m_runner(runner), m_path(te_mode_file_path(store_path)), m_window(window) {
    m_case = te_check(menu, tr("Trigger &case carries over (Btw, BTW)"), "setting_propagate_case");
    m_word = te_check(menu, tr("&Word triggers: expand after a space or punctuation"), "setting_word_triggers");
    m_undo = te_check(menu, tr("&BackSpace right after takes an expansion back"), "setting_undo_backspace");
    m_locale = menu->addAction(tr("Month and day &names..."), this, &te_settings_menu::ask_locale);
    m_locale->setObjectName(QStringLiteral("setting_locale"));
    for (QAction* a : {m_case, m_word, m_undo}) connect(a, &QAction::triggered, this, &te_settings_menu::changed);
    show_settings();
}

void te_settings_menu::show_settings() {
    const te_expansion_settings& s = m_runner->settings();
    m_case->setChecked(s.propagate_case);
    m_word->setChecked(s.word_triggers);
    m_undo->setChecked(s.undo_backspace);
    m_locale->setText(s.locale.isEmpty() ? tr("Month and day &names: yours...")
                                         : tr("Month and day &names: %1...").arg(s.locale));
}

void te_settings_menu::changed() {
    te_expansion_settings s = m_runner->settings();
    s.propagate_case = m_case->isChecked();
    s.word_triggers = m_word->isChecked();
    s.undo_backspace = m_undo->isChecked();
    apply(s);
}

void te_settings_menu::ask_locale() {
    te_expansion_settings s = m_runner->settings();
    bool ok = false;
    QString locale = QInputDialog::getText(m_window, tr("Month and day names"),
                                           tr("Locale of the names in {date:%A %B} (such as de_DE); empty for "
                                              "yours:"),
                                           QLineEdit::Normal, s.locale, &ok)
                         .trimmed();
    if (!ok) return;
    s.locale = locale;
    apply(s);
}

// The engine takes the settings at once; ones it refuses (an unknown
// locale) are not kept.
void te_settings_menu::apply(const te_expansion_settings& settings) {
    te_expansion_settings before = m_runner->settings();
    bool was_running = m_runner->state() == te_engine_runner::TE_RUNNING;
    m_runner->set_settings(settings);
    if (was_running && m_runner->state() != te_engine_runner::TE_RUNNING) {
        QString why = m_runner->describe();
        m_runner->set_settings(before);
        QMessageBox::warning(m_window, tr("Settings"), why);
        return show_settings();
    }
    QString error;
    if (!te_keep_expansion_settings(m_path, settings, &error))
        QMessageBox::warning(m_window, tr("Settings"), tr("The settings are used now but not kept: %1").arg(error));
    show_settings();
}
