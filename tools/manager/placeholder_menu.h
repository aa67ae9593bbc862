// The placeholders a snippet's text may hold, offered in a menu so nobody
// has to remember their spelling: the one chosen is typed at the caret of
// the text. "Another snippet" lists the triggers of the table as the menu
// opens.
#ifndef TE_MANAGER_PLACEHOLDER_MENU_H
#define TE_MANAGER_PLACEHOLDER_MENU_H

class QMenu;
class QPlainTextEdit;
class QWidget;

QMenu* te_placeholder_menu(QPlainTextEdit* text, QWidget* parent);

#endif
