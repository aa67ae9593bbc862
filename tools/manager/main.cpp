// velmora-manager: a window to find, edit and preview snippets, set program
// rules, and pause or resume expansion, as a host of the library.
//
//   velmora-manager                    the window, running the engine
//   velmora-manager --store FILE       ... on another store ($TE_STORE too)
//   velmora-manager --mode MODE        ... in keys, clipboard or hotkey mode
//                   [--hotkey CHORD]   this time (the window's choice stays)
//   velmora-manager --tray             only the tray icon (as the session starts it)
//   velmora-manager --pick             the running manager of the store opens its
//                                      snippet picker (for a compositor's key binding)
//   velmora-manager --no-engine        the window only; nothing is expanded
//   velmora-manager --import FILE      imports FILE at start (asking before replacing)
//   velmora-manager --screenshot FILE  draws the window (and a question it asks) into FILE (PNG), exits
//   velmora-manager --screenshot-picker FILE:WORDS
//                                      draws the picker searching WORDS, exits
#include <QApplication>
#include <QCommandLineParser>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>
#include <cstdio>

#include "desktop_settle.h"
#include "engine_runner.h"
#include "main_window.h"
#include "mode_choice.h"
#include "picker.h"
#include "picker_window.h"
#include "quit_signals.h"
#include "store_choice.h"

namespace {

// The widget as drawn, with the dialog it has open (if any) drawn over it
// where it stands, or in the middle.
QPixmap te_widget_picture(QWidget* widget) {
    QPixmap picture = widget->grab();
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog || dialog == widget) return picture;
    QPixmap over = dialog->grab();
    QPoint at = dialog->geometry().topLeft() - widget->geometry().topLeft();
    if (!picture.rect().contains(QRect(at, over.size()))) at = picture.rect().center() - over.rect().center();
    QPainter paint(&picture);
    paint.drawPixmap(at, over);
    return picture;
}

// Lets the widget lay itself out and paint, then saves it and quits.
void te_take_screenshot(QWidget* widget, const QString& file) {
    QTimer::singleShot(700, widget, [widget, file] {
        bool ok = te_widget_picture(widget).save(file, "PNG");
        QCoreApplication::exit(ok ? 0 : 1);
    });
}

}  // namespace

int main(int argc, char** argv) {
    // Before any other thread can read the environment.
    te_desktop_settle("");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmora-manager"));
    QApplication::setApplicationVersion(QStringLiteral(TE_VERSION));
    // The desktop entry's name, which is also the Wayland app_id the
    // engine tells this program's own windows by.
    QGuiApplication::setDesktopFileName(QStringLiteral("velmora-manager"));
    QCommandLineParser args;
    args.setApplicationDescription(QStringLiteral("Find, edit and preview snippets; set rules; pause expansion."));
    args.addHelpOption();
    args.addVersionOption();
    QCommandLineOption no_engine(QStringLiteral("no-engine"), QStringLiteral("Edit only: do not expand snippets."));
    QCommandLineOption shot(QStringLiteral("screenshot"), QStringLiteral("Draw the window into FILE (PNG) and exit."),
                            QStringLiteral("FILE"));
    QCommandLineOption store(QStringLiteral("store"),
                             QStringLiteral("Snippet store file to use instead of the default (or $TE_STORE)."),
                             QStringLiteral("FILE"));
    QCommandLineOption mode(QStringLiteral("mode"),
                            QStringLiteral("This time watch in MODE: keys (typed triggers), clipboard or hotkey."),
                            QStringLiteral("MODE"));
    QCommandLineOption hotkey(QStringLiteral("hotkey"), QStringLiteral("Chord for hotkey mode, e.g. CTRL+SHIFT+E."),
                              QStringLiteral("CHORD"));
    QCommandLineOption tray(QStringLiteral("tray"), QStringLiteral("Show only the tray icon (a window without a tray)."));
    QCommandLineOption synthetic(QStringLiteral("synthetic-keys"),
                                 QStringLiteral("Watch keys other programs type too (on-screen keyboards, tests)."));
    QCommandLineOption import(QStringLiteral("import"),
                              QStringLiteral("Import the snippets of FILE at start, asking before replacing yours."),
                              QStringLiteral("FILE"));
    QCommandLineOption pick(QStringLiteral("pick"),
                            QStringLiteral("Have the running manager open its snippet picker (bind it to a chord)."));
    QCommandLineOption picker_shot(QStringLiteral("screenshot-picker"),
                                   QStringLiteral("Draw the snippet picker, searching WORDS, into FILE (PNG) and exit."),
                                   QStringLiteral("FILE:WORDS"));
    args.addOptions({no_engine, shot, store, mode, hotkey, tray, synthetic, import, pick, picker_shot});
    args.process(app);

    QString store_path, error;
    if (!te_choose_store(args.value(store), &store_path, &error)) {
        std::fprintf(stderr, "velmora-manager: --store: %s\n", qPrintable(error));
        return 1;
    }
    if (args.isSet(pick)) {
        if (te_picker::ask_to_open(store_path)) return 0;
        std::fprintf(stderr, "velmora-manager: --pick: no manager runs for %s on this display\n", qPrintable(store_path));
        return 1;
    }
    te_mode_choice kept = te_read_mode_choice(te_mode_file_path(store_path)), this_run;
    if (!te_mode_override(kept, args.value(mode), args.value(hotkey), &this_run, &error)) {
        std::fprintf(stderr, "velmora-manager: %s\n", qPrintable(error));
        return 1;
    }
    te_main_window window(store_path);
    te_quit_on_stop_signals([&window] { window.stop_now(); });
    window.runner()->set_refresh_signal(te_refresh_on_signal([&window] { window.runner()->refresh(); }));
    if (args.isSet(picker_shot)) {
        QString file = args.value(picker_shot).section(QLatin1Char(':'), 0, 0);
        window.picker()->open();
        window.picker()->window()->findChild<QLineEdit*>(QStringLiteral("picker_search"))
            ->setText(args.value(picker_shot).section(QLatin1Char(':'), 1));
        te_take_screenshot(window.picker()->window(), file);
        return app.exec();
    }
    if (!args.isSet(shot)) window.picker()->listen();
    window.use_mode_for_this_run(this_run);
    window.runner()->set_synthetic_keys(args.isSet(synthetic));
    if (!args.isSet(no_engine)) window.runner()->begin();
    window.offer_draft();
    app.setQuitOnLastWindowClosed(!window.has_tray());
    if (args.isSet(tray) && !args.isSet(shot)) window.start_in_tray();
    else window.show();
    if (args.isSet(import))
        QTimer::singleShot(0, &window, [&window, file = args.value(import)] { window.import_file(file); });
    if (args.isSet(shot)) {
        if (!args.isSet(import)) window.focus_list();  // the question keeps the focus
        te_take_screenshot(&window, args.value(shot));
    }
    return app.exec();
}
