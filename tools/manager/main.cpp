// velmora-manager: a window to find, edit and preview snippets, set program
// rules, and pause or resume expansion, as a host of the library.
//
//   velmora-manager                    the window, running the engine
//   velmora-manager --store FILE       ... on another store ($TE_STORE too)
//   velmora-manager --no-engine        the window only; nothing is expanded
//   velmora-manager --screenshot FILE  draws the window into FILE (PNG), exits
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>

#include "engine_runner.h"
#include "main_window.h"
#include "quit_signals.h"
#include "store_choice.h"

namespace {

// Lets the window lay itself out and paint, then saves it and quits.
void te_take_screenshot(te_main_window* window, const QString& file) {
    window->focus_list();
    QTimer::singleShot(700, window, [window, file] {
        bool ok = window->grab().save(file, "PNG");
        QCoreApplication::exit(ok ? 0 : 1);
    });
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmora-manager"));
    QCommandLineParser args;
    args.setApplicationDescription(QStringLiteral("Find, edit and preview snippets; set rules; pause expansion."));
    args.addHelpOption();
    QCommandLineOption no_engine(QStringLiteral("no-engine"), QStringLiteral("Edit only: do not expand snippets."));
    QCommandLineOption shot(QStringLiteral("screenshot"), QStringLiteral("Draw the window into FILE (PNG) and exit."),
                            QStringLiteral("FILE"));
    QCommandLineOption store(QStringLiteral("store"),
                             QStringLiteral("Snippet store file to use instead of the default (or $TE_STORE)."),
                             QStringLiteral("FILE"));
    args.addOption(no_engine);
    args.addOption(shot);
    args.addOption(store);
    args.process(app);

    QString store_path, error;
    if (!te_choose_store(args.value(store), &store_path, &error)) {
        std::fprintf(stderr, "velmora-manager: --store: %s\n", qPrintable(error));
        return 1;
    }
    te_main_window window(store_path);
    te_quit_on_stop_signals([&window] { window.stop_now(); });
    if (!args.isSet(no_engine)) window.runner()->begin();
    window.offer_draft();
    window.show();
    if (args.isSet(shot)) te_take_screenshot(&window, args.value(shot));
    else app.setQuitOnLastWindowClosed(!window.has_tray());
    return app.exec();
}
