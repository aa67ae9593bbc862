// The window's side of the snippet picker (picker.h): the chord kept in
// manager.json and chosen in the Engine menu, "Insert snippet..." for the
// tray, and a line saying so when the chord cannot be had.
#include <QAction>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

#include "engine_runner.h"
#include "main_window.h"
#include "mode_choice.h"
#include "picker.h"
#include "picker_chord.h"

QWidget* te_main_window::build_picker() {
    m_picker = new te_picker(m_store_path, this);
    m_insert = new QAction(tr("&Insert snippet..."), this);
    m_insert->setObjectName(QStringLiteral("insert_snippet"));
    connect(m_insert, &QAction::triggered, m_picker, &te_picker::open);
    m_picker_state = new QLabel;
    m_picker_state->setObjectName(QStringLiteral("picker_state"));
    m_picker_state->setWordWrap(true);
    m_picker_state->hide();
    connect(m_picker, &te_picker::chord_changed, this, &te_main_window::show_picker_state);
    connect(m_picker, &te_picker::refused, this, &te_main_window::say);
    m_picker->use_chord(te_read_picker_chord(te_mode_file_path(m_store_path)));
    return m_picker_state;
}

void te_main_window::show_picker_state() {
    QString chord = m_picker->chord(), problem = m_picker->chord_problem();
    if (m_picker_chord) m_picker_chord->setText(tr("Snippet &picker chord (%1)...").arg(chord));
    m_picker_state->setText(tr("The snippet picker's chord %1 cannot be had: %2. \"Insert snippet...\" in the tray "
                               "menu opens the picker.")
                                .arg(chord, problem));
    m_picker_state->setVisible(!problem.isEmpty());
}

// Asks until the chord names a key and is not hotkey mode's; kept and
// grabbed at once. One that cannot be had is kept all the same (the
// program holding it may let it go by the next start) and the window says
// why.
void te_main_window::ask_picker_chord() {
    const te_mode_choice& mode = m_runner->choice();
    QString hotkey = te_mode_wanted(mode) == QLatin1String("hotkey") ? mode.hotkey : QString();
    QString text = m_picker->chord(), error;
    for (;;) {
        bool ok = false;
        text = QInputDialog::getText(this, tr("Snippet picker"), tr("Press this chord anywhere to find and insert a snippet:"),
                                     QLineEdit::Normal, text, &ok)
                   .trimmed();
        if (!ok) return;
        if (te_picker_chord_check(text, hotkey, &error)) break;
        QMessageBox::warning(this, tr("Snippet picker"), error);
    }
    if (!te_keep_picker_chord(te_mode_file_path(m_store_path), text, &error))
        QMessageBox::warning(this, tr("Snippet picker"), tr("The chord is used now but not kept: %1").arg(error));
    QString why;
    if (m_picker->use_chord(text, &why)) say(tr("%1 opens the snippet picker.").arg(text));
}
