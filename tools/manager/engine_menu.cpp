// The Engine menu, shared with the tray: pause, the mode the engine
// watches in, and starting with the desktop session.
#include "main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>

#include "autostart_entry.h"
#include "engine_runner.h"
#include "hotkey_check.h"
#include "picker.h"
#include "picker_chord.h"
#include "settings_menu.h"
#include "store_path.h"
#include "tray.h"

namespace {

const int TE_TRAY_WAIT_MS = 5000;
const int TE_TRAY_LOOK_MS = 250;

// What the session runs: this program in its tray, on this window's store.
std::vector<std::string> te_session_command(const QString& store_path) {
    std::vector<std::string> command{QCoreApplication::applicationFilePath().toStdString(), "--tray"};
    QString store = QFileInfo(store_path).absoluteFilePath();
    if (store != QFileInfo(QString::fromStdString(te_default_store_path())).absoluteFilePath())
        command.insert(command.end(), {"--store", store.toStdString()});
    return command;
}

}  // namespace

void te_main_window::build_engine_menu(QMenu* engine) {
    m_pause = engine->addAction(tr("&Pause expansion"), this, &te_main_window::toggle_pause);
    m_mode_menu = engine->addMenu(tr("&Mode"));
    m_modes = new QActionGroup(this);
    const struct {
        const char* mode;
        const char* text;
    } modes[] = {{"keys", QT_TR_NOOP("&Typed triggers")},
                 {"clipboard", QT_TR_NOOP("&Clipboard: copy a text that ends with a trigger")},
                 {"hotkey", QT_TR_NOOP("&Hotkey...")}};
    for (const auto& m : modes) {
        QString mode = QString::fromLatin1(m.mode);
        QAction* action = m_mode_menu->addAction(tr(m.text), this, [this, mode] { choose_mode(mode); });
        action->setObjectName(QStringLiteral("mode_") + mode);
        action->setData(mode);
        action->setCheckable(true);
        m_modes->addAction(action);
    }
    m_picker_chord = engine->addAction(QString(), this, &te_main_window::ask_picker_chord);
    m_picker_chord->setObjectName(QStringLiteral("picker_chord"));
    show_picker_state();
    engine->addSeparator();
    new te_settings_menu(engine, m_runner, m_store_path, this);
    engine->addSeparator();
    m_autostart = engine->addAction(tr("Start with my &session"));
    m_autostart->setObjectName(QStringLiteral("autostart"));
    m_autostart->setCheckable(true);
    m_autostart->setChecked(te_autostart_enabled(TE_AUTOSTART_MANAGER));
    connect(m_autostart, &QAction::triggered, this, &te_main_window::set_autostart);
    // `te autostart on` may have removed the entry meanwhile.
    connect(engine, &QMenu::aboutToShow, this,
            [this] { m_autostart->setChecked(te_autostart_enabled(TE_AUTOSTART_MANAGER)); });
    show_mode();
}

QSystemTrayIcon* te_main_window::make_tray() {
    QSystemTrayIcon* tray = te_make_tray(this, {m_insert, m_pause, m_mode_menu->menuAction(), m_autostart}, m_quit);
    if (tray) connect(tray->contextMenu(), &QMenu::aboutToShow, this,
                      [this] { m_autostart->setChecked(te_autostart_enabled(TE_AUTOSTART_MANAGER)); });
    return tray;
}

// Checks the mode the engine is to run in, and names the chord.
void te_main_window::show_mode() {
    const te_mode_choice& choice = m_runner->choice();
    QString wanted = te_mode_wanted(choice);
    for (QAction* action : m_modes->actions()) {
        action->setChecked(action->data().toString() == wanted);
        if (action->data() == QLatin1String("hotkey"))
            action->setText(choice.hotkey.isEmpty() ? tr("&Hotkey...") : tr("&Hotkey (%1)...").arg(choice.hotkey));
    }
}

// Keeps the choice for the next start and runs the engine in it now.
void te_main_window::choose_mode(const QString& mode) {
    te_mode_choice choice = m_runner->choice();
    choice.mode = mode;
    if (mode == QLatin1String("hotkey") && !ask_hotkey(&choice.hotkey)) return show_mode();
    QString error;
    if (!te_keep_mode_choice(te_mode_file_path(m_store_path), choice, &error))
        QMessageBox::warning(this, tr("Mode"), tr("The choice is used now but not kept: %1").arg(error));
    m_runner->set_choice(choice);
    show_mode();
}

// Asks for the chord until it names a key; false when cancelled.
bool te_main_window::ask_hotkey(QString* chord) {
    QString text = chord->isEmpty() ? QStringLiteral("CTRL+SHIFT+E") : *chord;
    for (;;) {
        bool ok = false;
        text = QInputDialog::getText(this, tr("Hotkey mode"),
                                     tr("Press this chord to expand the trigger at the end of the clipboard text:"),
                                     QLineEdit::Normal, text, &ok).trimmed();
        if (!ok) return false;
        std::string error;
        if (te_hotkey_check(text.toStdString(), &error)) {
            if (!te_same_chord(text, m_picker->chord())) {
                *chord = text;
                return true;
            }
            error = tr("%1 opens the snippet picker").arg(text).toStdString();
        }
        QMessageBox::warning(this, tr("Hotkey mode"), QString::fromStdString(error));
    }
}

void te_main_window::use_mode_for_this_run(const te_mode_choice& choice) {
    m_runner->set_choice(choice);
    show_mode();
}

void te_main_window::set_autostart(bool on) {
    std::string error;
    bool te_removed = false;
    std::string entry = te_autostart_entry(TE_AUTOSTART_MANAGER, te_session_command(m_store_path));
    bool ok = on ? !entry.empty() && te_autostart_enable(TE_AUTOSTART_MANAGER, entry, &te_removed, &error)
                 : te_autostart_disable(TE_AUTOSTART_MANAGER, &error) >= 0;
    m_autostart->setChecked(te_autostart_enabled(TE_AUTOSTART_MANAGER));
    if (!ok) {
        if (error.empty()) error = "the store's path holds a line break or control character";
        QMessageBox::warning(this, tr("Start with my session"), QString::fromStdString(error));
        return;
    }
    if (!on) return say(tr("This window no longer starts with your desktop session."));
    QString said = tr("This window starts with your desktop session, in the tray.");
    // Only one host runs the engine for a display.
    if (te_removed) said += tr(" `te run` no longer does: its autostart entry is removed.");
    say(said);
}

// A message in the status line, or from the tray while the window is hidden.
void te_main_window::say(const QString& message) {
    statusBar()->showMessage(message, 15000);
    if (m_tray && !isVisible()) m_tray->showMessage(windowTitle(), message);
}

void te_main_window::start_in_tray(int waited_ms) {
    if (!m_tray) m_tray = make_tray();
    if (m_tray) return QApplication::setQuitOnLastWindowClosed(false);
    if (waited_ms >= TE_TRAY_WAIT_MS) return show();
    QTimer::singleShot(TE_TRAY_LOOK_MS, this, [this, waited_ms] { start_in_tray(waited_ms + TE_TRAY_LOOK_MS); });
}
