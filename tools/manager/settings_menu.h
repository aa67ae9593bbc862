// The Engine menu's settings for all snippets: the case of the typed
// trigger, word triggers, BackSpace taking an expansion back, and the
// locale of month and day names. Each choice is kept in manager.json
// (expansion_settings.h) and the engine runs with it at once.
#ifndef TE_MANAGER_SETTINGS_MENU_H
#define TE_MANAGER_SETTINGS_MENU_H

#include <QObject>
#include <QString>

#include "expansion_settings.h"

class QAction;
class QMenu;
class QWidget;
class te_engine_runner;

class te_settings_menu : public QObject {
    Q_OBJECT
public:
    // Adds the actions to `menu`; the window is the parent of its dialogs.
    te_settings_menu(QMenu* menu, te_engine_runner* runner, const QString& store_path, QWidget* window);

private:
    void changed();
    void ask_locale();
    void apply(const te_expansion_settings& settings);
    void show_settings();

    te_engine_runner* m_runner;
    QString m_path;  // manager.json
    QWidget* m_window;
    QAction* m_case;
    QAction* m_word;
    QAction* m_undo;
    QAction* m_locale;
};

#endif
