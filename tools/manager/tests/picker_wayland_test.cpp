// The snippet picker on headless sway (scripts/test-wayland.sh): no chord
// can be had there, which the window says, and the tray's "Insert
// snippet..." opens the picker over a GTK 3 text view; Enter types the
// snippet into the view once the compositor has given it the keyboard back.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "main_window.h"
#include "picker.h"
#include "picker_window.h"
#include "textexpander.h"

class te_picker_wayland_test : public QObject {
    Q_OBJECT

    QString view_text(const QString& output) {
        QFile f(output + ".view");
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

private slots:
    void tray_opens_it_and_enter_types_where_you_were() {
        QString appdata = qEnvironmentVariable("APPDATA"), output = appdata + "/typed";
        QVERIFY(te_snippet_add(R"({"trigger":";sig","folder":"Mail","text":"Best regards,\nAnna Lindqvist{cursor}!"})"));
        QProcess view;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("GDK_BACKEND", "wayland");
        view.setProcessEnvironment(env);
        view.start(TE_GTK_VIEW_PATH, {output, "receiver"});
        QVERIFY(view.waitForReadyRead(10000));  // it has the keyboard
        te_main_window window(appdata + "/Wrenfold/snippets.json");
        QVERIFY(!window.picker()->chord_problem().isEmpty());
        window.findChild<QAction*>("insert_snippet")->trigger();
        te_picker_window* picker = window.picker()->window();
        QTRY_VERIFY_WITH_TIMEOUT(picker->isActiveWindow(), 5000);
        auto* search = picker->findChild<QLineEdit*>("picker_search");
        QTest::keyClicks(search, "ANNA regards");
        QTest::keyClick(search, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(view_text(output), QString("Best regards,\nAnna Lindqvist!"), 5000);
        QVERIFY2(QByteArray(te_stats_json()).contains(R"("last_app":"TE-GTK-VIEW")"), te_stats_json());
        view.terminate();
        view.waitForFinished(5000);
    }
};

int main(int argc, char** argv) {
    // Before the library's first use: a store of this process's own.
    QTemporaryDir appdata;
    qputenv("APPDATA", appdata.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (appdata.path() + "/config").toUtf8());
    QApplication app(argc, argv);
    te_picker_wayland_test test;
    return QTest::qExec(&test, argc, argv);
}

#include "picker_wayland_test.moc"
