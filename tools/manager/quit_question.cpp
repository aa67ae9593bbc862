#include "quit_question.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

#include "window_prefs.h"

namespace {
QString te_tr(const char* text) { return QCoreApplication::translate("te_quit_question", text); }
}  // namespace

te_quit_answer te_ask_quit(QWidget* parent, const QString& prefs_path) {
    te_window_prefs prefs = te_read_window_prefs(prefs_path);
    if (!prefs.ask_before_quit) return TE_QUIT_QUIT;
    QMessageBox ask(QMessageBox::Question, te_tr("Quit and stop expanding?"), te_tr("Quit and stop expanding?"),
                    QMessageBox::NoButton, parent);
    ask.setObjectName("quit_question");
    ask.setInformativeText(te_tr("Snippets expand only while this window runs. To keep them expanding, minimise "
                                 "it instead; Engine > Start with my session has it start each time you log in."));
    QPushButton* quit = ask.addButton(te_tr("Quit"), QMessageBox::DestructiveRole);
    QPushButton* minimise = ask.addButton(te_tr("Minimise"), QMessageBox::AcceptRole);
    ask.addButton(QMessageBox::Cancel);
    ask.setDefaultButton(minimise);
    auto* again = new QCheckBox(te_tr("Don't ask again"));
    ask.setCheckBox(again);
    ask.exec();
    if (ask.clickedButton() == minimise) return TE_QUIT_MINIMISE;
    if (ask.clickedButton() != quit) return TE_QUIT_STAY;
    if (again->isChecked()) {
        prefs.ask_before_quit = false;
        QString error;
        te_keep_window_prefs(prefs_path, prefs, &error);
    }
    return TE_QUIT_QUIT;
}
