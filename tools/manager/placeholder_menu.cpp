#include "placeholder_menu.h"

#include <QCoreApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <vector>

#include "engine_client.h"

namespace {

QString te_tr(const char* text) { return QCoreApplication::translate("te_placeholder_menu", text); }

void te_insert(QPlainTextEdit* text, const QString& placeholder) {
    text->insertPlainText(placeholder);
    text->setFocus();
}

// The triggers, as the menu opens: a snippet added elsewhere is there.
void te_fill_snippets(QMenu* menu, QPlainTextEdit* text) {
    menu->clear();
    std::vector<te_snippet_row> rows;
    QString error;
    if (!te_read_snippets(&rows, &error)) return;
    for (const te_snippet_row& row : rows) {
        QString placeholder = QStringLiteral("{snippet:%1}").arg(row.trigger);
        QAction* a = menu->addAction(row.trigger, text, [text, placeholder] { te_insert(text, placeholder); });
        a->setData(placeholder);
    }
}

}  // namespace

QMenu* te_placeholder_menu(QPlainTextEdit* text, QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("placeholders"));
    const struct {
        const char* what;
        const char* placeholder;
    } items[] = {
        {QT_TRANSLATE_NOOP("te_placeholder_menu", "The caret, once the text is typed"), "{cursor}"},
        {QT_TRANSLATE_NOOP("te_placeholder_menu", "Today, 2026-12-09"), "{date}"},
        {QT_TRANSLATE_NOOP("te_placeholder_menu", "Today, written out: Wednesday 9 December 2026"), "{date:%A %-d %B %Y}"},
        {QT_TRANSLATE_NOOP("te_placeholder_menu", "In two weeks"), "{date+14d}"},
        {QT_TRANSLATE_NOOP("te_placeholder_menu", "A month from today"), "{date+1m:%-d %B}"},
        {QT_TRANSLATE_NOOP("te_placeholder_menu", "The time, 14:05:09"), "{time}"},
        {QT_TRANSLATE_NOOP("te_placeholder_menu", "The time, 2:05 PM"), "{time:%-I:%M %p}"},
        {QT_TRANSLATE_NOOP("te_placeholder_menu", "In 90 minutes"), "{time+90m:%H:%M}"},
        {QT_TRANSLATE_NOOP("te_placeholder_menu", "The year"), "{year}"},
        {QT_TRANSLATE_NOOP("te_placeholder_menu", "The clipboard's text"), "{clipboard}"},
        {QT_TRANSLATE_NOOP("te_placeholder_menu", "Six random digits"), "{random6}"},
    };
    for (const auto& item : items) {
        QString placeholder = QString::fromLatin1(item.placeholder);
        QAction* a = menu->addAction(QStringLiteral("%1\t%2").arg(te_tr(item.what), placeholder), text,
                                     [text, placeholder] { te_insert(text, placeholder); });
        a->setData(placeholder);
    }
    QMenu* snippets = menu->addMenu(te_tr("Another snippet's text"));
    snippets->setObjectName(QStringLiteral("placeholder_snippets"));
    QObject::connect(snippets, &QMenu::aboutToShow, snippets, [snippets, text] { te_fill_snippets(snippets, text); });
    return menu;
}
