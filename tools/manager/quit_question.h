// Closing the window where no tray keeps it: the engine this window runs
// stops with it, and nothing expands until it is opened again. Asked
// once, "Quit and stop expanding?", with the ways to keep it running;
// "Don't ask again" is kept in manager.json (window_prefs.h).
#ifndef TE_MANAGER_QUIT_QUESTION_H
#define TE_MANAGER_QUIT_QUESTION_H

#include <QString>

class QWidget;

enum te_quit_answer {
    TE_QUIT_STAY,      // cancelled: the window stays open
    TE_QUIT_MINIMISE,  // keep expanding: the window is minimised
    TE_QUIT_QUIT,      // quit and stop expanding
};

// Asks unless the user said not to ask again (then TE_QUIT_QUIT).
// `prefs_path` is manager.json.
te_quit_answer te_ask_quit(QWidget* parent, const QString& prefs_path);

#endif
