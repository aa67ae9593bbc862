// The tray icon (when the desktop has a tray): Pause/Resume expansion, the
// mode, start with the session, Open and Quit. Also the icon the window itself shows.
#ifndef TE_MANAGER_TRAY_H
#define TE_MANAGER_TRAY_H

#include <QIcon>
#include <QList>

class QAction;
class QObject;
class QSystemTrayIcon;
class QWidget;

// The program's icon, drawn here so the program needs no resource file.
QIcon te_manager_icon();

// A tray icon with a menu of `actions` (the window's own: pause, the mode,
// start with the session), Open (shows `window`) and `quit`; null when the
// desktop has no tray. A click on the icon opens the window.
QSystemTrayIcon* te_make_tray(QWidget* window, const QList<QAction*>& actions, QAction* quit);

#endif
