// The snippet picker on a real X display, with a window manager (openbox,
// started here for the rows that ask for one) and without: the chord opens
// it over a GTK 3 text view, a search narrows to one snippet, Enter types
// it whole into the view; Escape types nothing and gives the view its
// focus back; a rule blocking the view blocks it; a chord another program
// holds is said, and the tray's action still opens the picker.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include "main_window.h"
#include "picker.h"
#include "picker_window.h"
#include "textexpander.h"

namespace {

const char* const TE_SIG_TEXT = "Best regards,\nAnna Lindqvist{cursor}!";

QString te_appdata() { return qEnvironmentVariable("APPDATA"); }

QByteArray te_file_bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Keys as a person presses them, through xdotool (XTest).
void te_keys(const QStringList& args) { QCOMPARE(QProcess::execute("xdotool", args), 0); }

}  // namespace

class te_picker_test : public QObject {
    Q_OBJECT

    Display* display = nullptr;
    te_main_window* window = nullptr;
    QProcess view;  // the GTK 3 receiver
    QProcess wm;    // openbox, for the rows that have one
    Window view_window = 0;

    // What the view of this row was typed.
    QString output() { return te_appdata() + "/typed, " + QTest::currentDataTag(); }
    QString typed() { return QString::fromUtf8(te_file_bytes(output())); }
    Window wm_check() {
        Atom type;
        int format;
        unsigned long n, after;
        unsigned char* data = nullptr;
        Window w = None;
        XGetWindowProperty(display, DefaultRootWindow(display), XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False),
                           0, 1, False, XA_WINDOW, &type, &format, &n, &after, &data);
        if (data && n == 1) w = *reinterpret_cast<Window*>(data);
        if (data) XFree(data);
        return w;
    }
    // Whether the view has the focus: its window or one inside it (GTK
    // takes the focus with a child window of its own under a window
    // manager).
    bool view_has_focus() {
        Window w, root, parent, *children;
        unsigned n;
        int revert;
        XGetInputFocus(display, &w, &revert);
        while (w != view_window && w > PointerRoot && XQueryTree(display, w, &root, &parent, &children, &n)) {
            if (children) XFree(children);
            w = parent == root ? None : parent;
        }
        return w == view_window;
    }

    // The rows' column: with or without a window manager.
    void rows() {
        QTest::addColumn<bool>("openbox");
        QTest::newRow("no window manager") << false;
        QTest::newRow("openbox") << true;
    }

    // The desktop of a row: openbox or none, the view in front with the
    // focus, the window in the tray's place (hidden), its picker ready.
    void set_up() {
        QFETCH(bool, openbox);
        if (openbox) {
            wm.start("openbox", {"--sm-disable"});
            QVERIFY(wm.waitForStarted());
            QTRY_VERIFY_WITH_TIMEOUT(wm_check() != None, 5000);
        }
        window = new te_main_window(te_appdata() + "/Wrenfold/snippets.json");
        QVERIFY(window->picker()->chord_problem().isEmpty());
        view.start(TE_GTK_VIEW_PATH, {output(), "receiver"});
        QVERIFY(view.waitForReadyRead(10000));
        view_window = (Window)view.readLine().trimmed().toULong(nullptr, 16);
        QVERIFY(view_window);
        if (!openbox) XSetInputFocus(display, view_window, RevertToParent, CurrentTime);
        XSync(display, False);
        QTRY_VERIFY_WITH_TIMEOUT(view_has_focus(), 5000);
    }

    // The chord, and the picker taking the keys.
    void open_with_chord() {
        te_keys({"key", "ctrl+alt+space"});
        QTRY_VERIFY_WITH_TIMEOUT(window->picker()->window()->isActiveWindow() && !view_has_focus(), 5000);
    }

    int listed() { return window->picker()->window()->findChild<QListView*>("picker_list")->model()->rowCount(); }

    // Narrows the list to the signature alone.
    void search_for_the_signature() {
        te_keys({"type", "--delay", "10", "ANNA regards"});
        QTRY_COMPARE_WITH_TIMEOUT(window->picker()->window()->search_text(), QString("ANNA regards"), 5000);
        QCOMPARE(listed(), 1);
    }

private slots:
    void initTestCase() {
        display = XOpenDisplay(nullptr);
        QVERIFY(display);
        QVERIFY(te_snippet_add(QJsonDocument(QJsonObject{{"trigger", ";sig"}, {"text", TE_SIG_TEXT}, {"folder", "Mail"}})
                                   .toJson(QJsonDocument::Compact)
                                   .constData()));
    }
    void cleanupTestCase() {
        if (display) XCloseDisplay(display);
        display = nullptr;
    }
    void cleanup() {
        delete window;
        window = nullptr;
        for (QProcess* p : {&view, &wm}) {
            p->terminate();
            p->waitForFinished(5000);
        }
        // What a window manager leaves on the root would have Qt ask it for
        // the focus in the next row.
        for (const char* name : {"_NET_SUPPORTING_WM_CHECK", "_NET_SUPPORTED", "_NET_ACTIVE_WINDOW"})
            XDeleteProperty(display, DefaultRootWindow(display), XInternAtom(display, name, False));
        XSync(display, False);
    }

    void enter_types_the_snippet_where_you_were_data() { rows(); }
    void enter_types_the_snippet_where_you_were() {
        set_up();
        open_with_chord();
        search_for_the_signature();
        te_keys({"key", "Return"});
        QTRY_COMPARE_WITH_TIMEOUT(typed(), QString("Best regards,\nAnna Lindqvist!"), 5000);
        QVERIFY(view_has_focus());
        QVERIFY2(QByteArray(te_stats_json()).contains(R"("last_trigger":";sig","last_app":"TE-GTK-VIEW")"),
                 te_stats_json());
    }

    void escape_types_nothing_and_gives_the_focus_back_data() { rows(); }
    void escape_types_nothing_and_gives_the_focus_back() {
        set_up();
        open_with_chord();
        search_for_the_signature();
        te_keys({"key", "Escape"});
        QTRY_VERIFY_WITH_TIMEOUT(view_has_focus(), 5000);
        QVERIFY(!window->picker()->window()->isVisible());
        // The chord again at once: the picker takes the keys again.
        open_with_chord();
        search_for_the_signature();
        te_keys({"key", "Escape"});
        QTRY_VERIFY_WITH_TIMEOUT(view_has_focus(), 5000);
        QTest::qWait(300);
        QCOMPARE(typed(), QString());
    }

    void rule_blocking_the_program_blocks_the_pick_data() { rows(); }
    void rule_blocking_the_program_blocks_the_pick() {
        set_up();
        QVERIFY(te_rule_set("te-gtk-view", R"({"allow":false})"));  // the window set the rules file's
        QSignalSpy finished(window->picker(), &te_picker::finished);
        open_with_chord();
        search_for_the_signature();
        te_keys({"key", "Return"});
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 5000);
        QCOMPARE(finished.at(0).at(0).toInt(), 0);
        QTest::qWait(300);
        QCOMPARE(typed(), QString());
        QVERIFY(view_has_focus());
    }

    // Another program holds the chord: the window says so, and "Insert
    // snippet..." (the tray's) opens the picker all the same.
    void chord_taken_is_said_and_the_tray_still_opens_it() {
        Display* other = XOpenDisplay(nullptr);
        KeyCode space = XKeysymToKeycode(other, XK_space);
        XGrabKey(other, space, ControlMask | Mod1Mask, DefaultRootWindow(other), True, GrabModeAsync, GrabModeAsync);
        XSync(other, False);
        window = new te_main_window(te_appdata() + "/Wrenfold/snippets.json");
        window->show();
        auto* said = window->findChild<QLabel*>("picker_state");
        QVERIFY2(said->isVisible() && said->text().contains("CTRL+ALT+SPACE cannot be had: another program has taken it"),
                 qPrintable(said->text()));
        window->findChild<QAction*>("insert_snippet")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(window->picker()->window()->isActiveWindow(), 5000);
        XCloseDisplay(other);
    }
};

int main(int argc, char** argv) {
    // Before the library's first use: a store of this process's own.
    QTemporaryDir appdata;
    qputenv("APPDATA", appdata.path().toUtf8());
    qputenv("XDG_RUNTIME_DIR", appdata.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (appdata.path() + "/config").toUtf8());
    QApplication app(argc, argv);
    te_picker_test test;
    return QTest::qExec(&test, argc, argv);
}

#include "picker_test.moc"
