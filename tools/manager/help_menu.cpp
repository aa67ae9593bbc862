#include "help_menu.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

#include "mode_choice.h"
#include "rules_file.h"

namespace {

QString te_tr(const char* text) { return QCoreApplication::translate("te_help_menu", text); }

QString te_getting_started() {
    return te_tr("<p>A snippet is a short <b>trigger</b>, such as <code>&gt;&gt;email</code>, and the text it "
                 "stands for. While this window runs (or sits in the tray), type a trigger in any program and it "
                 "is replaced by its text the moment its last character is typed.</p>"
                 "<p>Three snippets are there to try: <code>&gt;&gt;addr</code>, <code>&gt;&gt;email</code> and "
                 "<code>&gt;&gt;signoff</code>. Pick one in the list and make its text yours, or press New "
                 "(Ctrl+N), type a trigger and a text, and Save.</p>"
                 "<p>Choose triggers that you never type otherwise, and none that begins another: "
                 "<code>&gt;&gt;sig</code> would expand on the way to <code>&gt;&gt;signoff</code>.</p>"
                 "<p>The text may hold placeholders (Insert beside it): the date in any form, the time, the "
                 "clipboard, where the caret goes, another snippet. The preview shows it as it would be typed "
                 "now.</p>");
}

QString te_keys() {
    return te_tr("<table>"
                 "<tr><td>Ctrl+F</td><td>search (Enter goes to the first match)</td></tr>"
                 "<tr><td>Ctrl+N</td><td>a new snippet</td></tr>"
                 "<tr><td>Ctrl+S</td><td>save the snippet</td></tr>"
                 "<tr><td>Delete</td><td>delete the snippet (in the list)</td></tr>"
                 "<tr><td>Escape</td><td>back to the list</td></tr>"
                 "<tr><td>Ctrl+I, Ctrl+E</td><td>import, export</td></tr>"
                 "<tr><td>Ctrl+Q</td><td>quit (expansion stops)</td></tr>"
                 "</table>");
}

QString te_where(const QString& store_path) {
    QString store = QDir::toNativeSeparators(QFileInfo(store_path).absoluteFilePath());
    return te_tr("<p>Your snippets are kept in<br><code>%1</code><br>readable by you alone. <code>te path</code> "
                 "prints it; <code>te export FILE</code> (or File &gt; Export) makes a copy to keep.</p>"
                 "<p>Beside it: the rules in <code>%2</code> and this window's choices in <code>%3</code>.</p>")
        .arg(store.toHtmlEscaped(), QDir::toNativeSeparators(te_rules_file_path(store_path)).toHtmlEscaped(),
             QDir::toNativeSeparators(te_mode_file_path(store_path)).toHtmlEscaped());
}

QString te_pausing() {
    return te_tr("<p><b>Pause for a while:</b> Engine &gt; Pause expansion (also in the tray's menu); Resume "
                 "starts it again.</p>"
                 "<p><b>Never in one program:</b> the Rules page blocks it there (a password manager, say).</p>"
                 "<p><b>Stop:</b> File &gt; Quit, or <code>te stop</code> in a terminal. Without a tray, closing "
                 "the window stops expanding too (it asks first); minimise it instead to keep expanding.</p>"
                 "<p><b>At every login:</b> Engine &gt; Start with my session.</p>");
}

void te_add_page(QMenu* menu, QWidget* window, const QString& title, const char* name, const QString& text) {
    QAction* action = menu->addAction(title, window, [window, title, text] {
        QMessageBox page(QMessageBox::Information, QString(title).remove('&'), text, QMessageBox::Close, window);
        page.setTextFormat(Qt::RichText);
        page.exec();
    });
    action->setObjectName(QLatin1String(name));
}

}  // namespace

void te_fill_help_menu(QMenu* menu, QWidget* window, const QString& store_path) {
    te_add_page(menu, window, te_tr("&Getting started"), "help_getting_started", te_getting_started());
    te_add_page(menu, window, te_tr("&Keys"), "help_keys", te_keys());
    te_add_page(menu, window, te_tr("&Where snippets are kept"), "help_where", te_where(store_path));
    te_add_page(menu, window, te_tr("&Pausing and stopping"), "help_pausing", te_pausing());
}
