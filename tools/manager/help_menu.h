// The Help menu: getting started, the keys, where the snippets are kept
// (with the paths) and how to pause or stop expanding, each a short page.
#ifndef TE_MANAGER_HELP_MENU_H
#define TE_MANAGER_HELP_MENU_H

#include <QString>

class QMenu;
class QWidget;

// Fills `menu`; the pages open over `window`. `store_path` is the store
// the window edits.
void te_fill_help_menu(QMenu* menu, QWidget* window, const QString& store_path);

#endif
