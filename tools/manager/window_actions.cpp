// What the window does when used: filtering, following the selection,
// new, save and delete, reloading after the store changed, the engine's
// state, import and export, the keyboard moves.
#include "main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <cstdio>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTableView>

#include "draft_file.h"
#include "engine_runner.h"
#include "first_start_strip.h"
#include "quit_question.h"
#include "snippet_editor.h"
#include "snippet_files.h"
#include "snippet_model.h"
#include "stats_page.h"
#include "trigger_overlap.h"
#include "window_prefs.h"

namespace {

const te_snippet_row* te_find_row(const std::vector<te_snippet_row>& rows, const QString& trigger) {
    for (const te_snippet_row& r : rows)
        if (r.trigger == trigger) return &r;
    return nullptr;
}

enum te_import_choice { TE_IMPORT_CANCEL, TE_IMPORT_REPLACE, TE_IMPORT_KEEP_MINE };

// What to know of the triggers among `triggers` that begin others (or
// that others begin); "" when none does.
QString te_overlap_note(const std::vector<std::string>& triggers, bool word_triggers_for_all) {
    return QString::fromStdString(te_overlap_warning(te_find_overlaps(triggers, word_triggers_for_all)));
}

te_import_choice te_ask_about_replacing(QWidget* parent, const te_import_plan& plan) {
    QStringList mine;
    for (const std::string& t : plan.replaced) mine << QString::fromStdString(t);
    QMessageBox ask(QMessageBox::Question, QCoreApplication::translate("te_main_window", "Import"),
                    QCoreApplication::translate("te_main_window",
                                                "The file holds snippets you have already: %1.\n"
                                                "Replace yours with the file's?")
                        .arg(mine.join(", ")),
                    QMessageBox::NoButton, parent);
    QPushButton* replace = ask.addButton(QCoreApplication::translate("te_main_window", "Replace"), QMessageBox::AcceptRole);
    QPushButton* keep = ask.addButton(QCoreApplication::translate("te_main_window", "Keep mine"), QMessageBox::AcceptRole);
    ask.addButton(QMessageBox::Cancel);
    ask.setDefaultButton(keep);
    ask.exec();
    return ask.clickedButton() == replace ? TE_IMPORT_REPLACE
           : ask.clickedButton() == keep  ? TE_IMPORT_KEEP_MINE
                                          : TE_IMPORT_CANCEL;
}

}  // namespace

void te_main_window::reload() {
    std::vector<te_snippet_row> rows;
    QString error;
    // While the store cannot be read the library holds the seed snippets in
    // its place: the list shows nothing, and the window says why.
    bool unreadable = te_store_problem(m_store_path, &error);
    m_store_problem->setText(error);
    m_store_problem->setVisible(unreadable);
    if (!unreadable && !te_read_snippets(&rows, &error)) {
        statusBar()->showMessage(tr("Cannot read the snippets: %1").arg(error));
        return;
    }
    m_model->set_rows(rows);
    fill_folders();
    apply_filter();
    refresh_editor(rows);
    show_first_start();
}

// The editor follows a change made elsewhere to the snippet it shows,
// unless the user has changed it here.
void te_main_window::refresh_editor(const std::vector<te_snippet_row>& rows) {
    QString shown = m_editor->stored_trigger();
    if (shown.isEmpty() || m_editor->is_dirty()) return;
    const te_snippet_row* row = te_find_row(rows, shown);
    if (!row) return m_editor->start_new(QString());
    if (*row != m_editor->stored()) m_editor->load(*row);
}

void te_main_window::fill_folders() {
    QString kept = folder_filter();
    QSignalBlocker block(m_folder);
    m_folder->clear();
    m_folder->addItem(tr("All folders"));
    for (const QString& f : m_model->folders())
        m_folder->addItem(f.isEmpty() ? tr("(no folder)") : f, f.isEmpty() ? QStringLiteral("") : f);
    int at = kept.isNull() ? 0 : m_folder->findData(kept);
    m_folder->setCurrentIndex(at < 0 ? 0 : at);
}

// Null for every folder; otherwise the folder's name ("" for none).
QString te_main_window::folder_filter() const {
    if (m_folder->currentIndex() <= 0) return QString();
    QString f = m_folder->currentData().toString();
    return f.isNull() ? QStringLiteral("") : f;
}

void te_main_window::apply_filter() {
    m_model->set_filter(m_search->text(), folder_filter());
    select_trigger(m_editor->stored_trigger());
    m_count->setText(tr("%1 of %2 snippets").arg(m_model->rowCount()).arg(m_model->total()));
}

void te_main_window::select_trigger(const QString& trigger) {
    int row = trigger.isEmpty() ? -1 : m_model->row_of(trigger);
    m_selecting = true;
    if (row < 0) {
        m_list->selectionModel()->clear();
    } else {
        m_list->selectRow(row);
        m_list->scrollTo(m_model->index(row, 0));
    }
    m_selecting = false;
}

void te_main_window::show_current() {
    if (m_selecting) return;
    const te_snippet_row* row = m_model->row_at(m_list->currentIndex().row());
    if (!row || row->trigger == m_editor->stored_trigger()) return;
    if (!m_editor->is_dirty()) return m_editor->load(*row);
    // Asked once the key or click that moved the selection is handled: a
    // dialog inside the view's own handling leaves it confused.
    QString picked = row->trigger;
    QMetaObject::invokeMethod(this, [this, picked] { leave_for(picked); }, Qt::QueuedConnection);
}

void te_main_window::leave_for(const QString& trigger) {
    if (!confirm_leave()) return select_trigger(m_editor->stored_trigger());
    const te_snippet_row* row = m_model->row_at(m_model->row_of(trigger));
    if (!row) return;
    m_editor->load(*row);
    select_trigger(trigger);
}

// False when the user wants to stay with unsaved changes.
bool te_main_window::confirm_leave() {
    if (!m_editor->is_dirty()) return true;
    auto answer = QMessageBox::question(this, tr("Unsaved changes"),
                                        tr("Save the changes to this snippet?"),
                                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Save) return m_editor->save();
    return answer == QMessageBox::Discard;
}

void te_main_window::new_snippet() {
    if (!confirm_leave()) return;
    m_tabs->setCurrentIndex(0);
    QString folder = folder_filter();
    m_editor->start_new(folder.isNull() ? QString() : folder);
    select_trigger(QString());
    m_editor->focus_trigger();
}

void te_main_window::saved(const QString& trigger) {
    reload();
    select_trigger(trigger);
    QString note = te_overlap_note({trigger.toStdString()}, m_runner->settings().word_triggers);
    if (!note.isEmpty()) m_editor->show_warning(tr("Saved. %1").arg(note));
}

void te_main_window::delete_snippet() {
    QString trigger = m_editor->stored_trigger();
    if (trigger.isEmpty()) return;
    auto answer = QMessageBox::question(this, tr("Delete snippet"), tr("Delete the snippet %1?").arg(trigger),
                                        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer != QMessageBox::Yes) return;
    QString error;
    if (!te_remove_snippet(trigger, &error)) return m_editor->show_message(tr("Not deleted: %1").arg(error), true);
    int row = m_list->currentIndex().row();
    m_editor->start_new(QString());
    reload();
    // The snippet that took its place is shown next.
    if (row >= 0 && m_model->rowCount() > 0) m_list->selectRow(qMin(row, m_model->rowCount() - 1));
    statusBar()->showMessage(tr("Deleted %1.").arg(trigger), 5000);
}

void te_main_window::engine_changed() {
    te_engine_runner::te_state state = m_runner->state();
    bool elsewhere = state == te_engine_runner::TE_ELSEWHERE;
    QString note = m_runner->fallback_note();  // said in the banner, where it has room
    m_banner_text->setText(elsewhere ? m_runner->describe() : note);
    m_banner_text->parentWidget()->setVisible(elsewhere || !note.isEmpty());
    m_take_over->setVisible(elsewhere);
    m_engine_state->setText(m_runner->describe());
    m_stats->set_engine_line(m_runner->describe());
    m_pause->setText(state == te_engine_runner::TE_PAUSED ? tr("&Resume expansion") : tr("&Pause expansion"));
    m_pause->setEnabled(state == te_engine_runner::TE_RUNNING || state == te_engine_runner::TE_PAUSED);
    if (m_tray) m_tray->setToolTip(note.isEmpty() ? m_runner->describe() : m_runner->describe() + "\n" + note);
    show_first_start();
}

// How to try a snippet in the mode that runs, with one the list holds.
void te_main_window::show_first_start() {
    const te_snippet_row* first = m_model->row_at(0);
    QString example = m_model->row_of(QStringLiteral(">>email")) >= 0 ? QStringLiteral(">>email")
                      : first                                          ? first->trigger
                                                                       : QString();
    QString mode = m_runner->state() == te_engine_runner::TE_RUNNING ? m_runner->mode() : te_mode_wanted(m_runner->choice());
    QString how = example.isEmpty() ? tr("add a snippet with New, then type its trigger in any window")
                  : mode == QLatin1String("keys") ? tr("type %1 in any window").arg(example)
                  : mode == QLatin1String("hotkey")
                      ? tr("copy a text that ends with %1 and press %2").arg(example, m_runner->choice().hotkey)
                      : tr("copy a text that ends with %1").arg(example);
    m_first_start->say(m_runner->state() == te_engine_runner::TE_RUNNING, how);
}

void te_main_window::toggle_pause() {
    if (m_runner->state() == te_engine_runner::TE_PAUSED) m_runner->resume();
    else m_runner->pause();
}

void te_main_window::take_over() {
    QString error;
    if (!m_runner->take_over(&error)) QMessageBox::warning(this, tr("Still running"), error);
}

void te_main_window::import_dialog() {
    QString home = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
    QString path = QFileDialog::getOpenFileName(this, tr("Import snippets"), home, tr("JSON files (*.json);;All files (*)"));
    if (!path.isEmpty()) import_file(path);
}

// Imports the file, asking first when it would replace snippets the user
// has: Replace, Keep mine (only new triggers are added) or Cancel.
void te_main_window::import_file(const QString& path) {
    te_import_plan plan;
    QString message;
    bool problems = false;
    if (!te_plan_import_file(path, false, &plan, &message)) return (void)QMessageBox::warning(this, tr("Import"), message);
    te_import_choice choice = plan.replaced.empty() ? TE_IMPORT_REPLACE : te_ask_about_replacing(this, plan);
    if (choice == TE_IMPORT_CANCEL) return;
    bool keep = choice == TE_IMPORT_KEEP_MINE;
    if (keep && !te_plan_import_file(path, true, &plan, &message))
        return (void)QMessageBox::warning(this, tr("Import"), message);
    bool ok = te_run_import_plan(path, plan, keep, &message, &problems);
    reload();
    // Triggers that begin one another are said where the count is, and
    // stay said until the next message.
    std::vector<std::string> stored = plan.added;
    stored.insert(stored.end(), plan.replaced.begin(), plan.replaced.end());
    QString note = ok ? te_overlap_note(stored, m_runner->settings().word_triggers) : QString();
    if (ok) statusBar()->showMessage(note.isEmpty() ? message : message + " " + note, note.isEmpty() ? 10000 : 0);
    if (!ok || problems) QMessageBox::warning(this, tr("Import"), note.isEmpty() ? message : message + "\n\n" + note);
}

void te_main_window::export_dialog() {
    QString home = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
    QString path = QFileDialog::getSaveFileName(this, tr("Export snippets"), home + "/snippets-export.json",
                                                tr("JSON files (*.json);;All files (*)"));
    if (path.isEmpty()) return;
    QString message;
    if (te_export_to(m_store_path, path, &message)) statusBar()->showMessage(message, 10000);
    else QMessageBox::warning(this, tr("Export"), message);
}

void te_main_window::focus_search() {
    m_tabs->setCurrentIndex(0);
    m_search->setFocus();
    m_search->selectAll();
}

void te_main_window::focus_list() {
    m_tabs->setCurrentIndex(0);
    m_list->setFocus();
    if (!m_list->currentIndex().isValid() && m_model->rowCount() > 0) m_list->selectRow(0);
}

void te_main_window::closeEvent(QCloseEvent* event) {
    keep_size();
    if (m_ending) {  // the session ends: what changed since it said so is kept too
        keep_draft();
        return event->accept();
    }
    if (m_tray && m_tray->isVisible()) {  // the engine goes on; the tray opens the window again
        hide();
        event->ignore();
        return;
    }
    if (!confirm_leave()) return event->ignore();
    // Without a tray, closing ends the engine this window runs.
    te_quit_answer answer =
        m_runner->state() == te_engine_runner::TE_RUNNING ? te_ask_quit(this, m_prefs_path) : TE_QUIT_QUIT;
    if (answer == TE_QUIT_MINIMISE) showMinimized();
    if (answer != TE_QUIT_QUIT) return event->ignore();
    event->accept();
}

void te_main_window::keep_size() {
    if (isMinimized() || isMaximized() || isFullScreen()) return;
    te_window_prefs prefs = te_read_window_prefs(m_prefs_path);
    if (prefs.size == size()) return;
    prefs.size = size();
    QString error;
    te_keep_window_prefs(m_prefs_path, prefs, &error);
}

// The offered draft's text was saved or dropped: it is not offered again.
void te_main_window::draft_settled() {
    if (!m_draft_offered) return;
    m_draft_offered = false;
    te_drop_draft(te_draft_path(m_store_path));
}

void te_main_window::keep_draft() {
    if (!m_editor->is_dirty()) return;
    QString error;
    if (!te_keep_draft(te_draft_path(m_store_path), m_editor->stored_trigger(), m_editor->fields(), &error))
        std::fprintf(stderr, "velmora-manager: unsaved changes could not be kept: %s\n", qPrintable(error));
}

void te_main_window::stop_now() {
    m_ending = true;
    keep_draft();
    keep_size();
    m_runner->end();
    QCoreApplication::exit(0);
}

void te_main_window::offer_draft() {
    QString stored_trigger;
    te_snippet_row unsaved, stored;
    if (!te_read_draft(te_draft_path(m_store_path), &stored_trigger, &unsaved)) return;
    m_draft_offered = true;
    // The snippet it was made over may be gone: then it is a new one.
    if (stored_trigger.isEmpty() || !te_fetch_snippet(stored_trigger, &stored)) stored_trigger.clear();
    m_tabs->setCurrentIndex(0);
    m_editor->restore(stored, stored_trigger, unsaved);
    select_trigger(stored_trigger);
}
