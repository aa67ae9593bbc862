// The window driven through its real widgets, against a store of its own.
#include <QApplication>
#include <QClipboard>
#include <QCheckBox>
#include <QDate>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

#include "main_window.h"
#include "snippet_files.h"
#include "textexpander.h"

namespace {

QString te_store_path() { return qEnvironmentVariable("APPDATA") + "/Wrenfold/snippets.json"; }

QByteArray te_file_bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int te_file_mode(const QString& path) {
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (int)(st.st_mode & 0777) : -1;
}

QStringList te_shown_triggers(QTableView* list) {
    QStringList out;
    for (int r = 0; r < list->model()->rowCount(); r++) out << list->model()->index(r, 0).data().toString();
    return out;
}

}  // namespace

class te_manager_test : public QObject {
    Q_OBJECT

    te_main_window* window = nullptr;

    template <class T>
    T* child(const char* name) {
        T* w = window->findChild<T*>(name);
        if (!w) qFatal("no widget %s", name);
        return w;
    }

    void type_new_snippet(const QString& trigger, const QString& text) {
        QTest::keyClick(window, Qt::Key_N, Qt::ControlModifier);
        QTest::keyClicks(child<QLineEdit>("trigger"), trigger);
        QTest::keyClicks(child<QPlainTextEdit>("text"), text);
    }

private slots:
    void init() {
        te_snippet_add(R"({"trigger":">>sig","text":"Best regards,\nAnna","folder":"Mail"})");
        window = new te_main_window(te_store_path());
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }
    void cleanup() { delete window; }

    void search_narrows_the_list_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("text, other case") << "EXAMPLE" << QStringList{">>addr", ">>email"};
        QTest::newRow("trigger") << ">>em" << QStringList{">>email"};
        QTest::newRow("second line of a text") << "anna" << QStringList{">>sig"};
        QTest::newRow("nothing") << "zzz" << QStringList{};
    }
    void search_narrows_the_list() {
        QFETCH(QString, typed);
        QFETCH(QStringList, shown);
        QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), typed);
        QCOMPARE(te_shown_triggers(child<QTableView>("list")), shown);
    }

    void preview_renders_as_typed_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("date") << "Sent {date}" << "Sent " + QDate::currentDate().toString(Qt::ISODate);
        // This window owns the clipboard: the library's request must be
        // answered while the preview is rendered.
        QTest::newRow("own clipboard") << "Re: {clipboard}" << "Re: copied here";
    }
    void preview_renders_as_typed() {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QApplication::clipboard()->setText("copied here");
        type_new_snippet(">>p", typed);
        QTRY_COMPARE_WITH_TIMEOUT(child<QPlainTextEdit>("preview")->toPlainText(), expected, 3000);
    }

    void save_writes_the_store() {
        type_new_snippet(">>new", "Hello {year}");
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(te_file_bytes(te_store_path()).contains(R"({"trigger":">>new","text":"Hello {year}")"));
        QVERIFY(te_shown_triggers(child<QTableView>("list")).contains(">>new"));
    }

    void refused_edit_shows_the_message_and_writes_nothing_data() {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("message");
        QTest::newRow("duplicate") << ">>addr" << "trigger already exists: >>addr";
        QTest::newRow("empty") << "" << "snippet missing 'trigger'";
    }
    void refused_edit_shows_the_message_and_writes_nothing() {
        QFETCH(QString, trigger);
        QFETCH(QString, message);
        QByteArray before = te_file_bytes(te_store_path());
        type_new_snippet(trigger, "other text");
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
        QVERIFY2(child<QLabel>("message")->text().contains(message), qPrintable(child<QLabel>("message")->text()));
        QCOMPARE(te_file_bytes(te_store_path()), before);
    }

    void rule_set_in_the_window_reaches_the_library() {
        child<QTabWidget>("pages")->setCurrentWidget(child<QWidget>("rules"));
        QTest::keyClicks(child<QLineEdit>("rule_process"), "firefox");
        child<QCheckBox>("rule_allow")->setChecked(false);
        QTest::mouseClick(child<QPushButton>("rule_set"), Qt::LeftButton);
        QCOMPARE(QString(te_rules_json()), QString(R"([{"process":"FIREFOX","allow":0,"prefix":""}])"));
        QString kept = qEnvironmentVariable("APPDATA") + "/Wrenfold/rules.json";
        QVERIFY(te_file_bytes(kept).contains("FIREFOX"));
        QCOMPARE(te_file_mode(kept), 0600);
    }

    void export_file_is_private() {
        ::umask(022);
        QString out = qEnvironmentVariable("APPDATA") + "/export.json";
        QString message;
        QVERIFY2(te_export_to(te_store_path(), out, &message), qPrintable(message));
        QCOMPARE(te_file_bytes(out), te_file_bytes(te_store_path()));
        QCOMPARE(te_file_mode(out), 0600);
    }

    void snippet_added_by_te_appears() {
        QProcess te;
        te.start(TE_TOOL_PATH, {"add", R"({"trigger":">>fromte","text":"added elsewhere"})"});
        QVERIFY(te.waitForFinished(10000));
        QCOMPARE(te.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(te_shown_triggers(child<QTableView>("list")).contains(">>fromte"), 8000);
    }

    void window_renders() {
        auto* list = child<QTableView>("list");
        QCOMPARE(list->model()->rowCount(), 4);
        QImage shot = window->grab().toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < shot.height(); y += 4)
            for (int x = 0; x < shot.width(); x += 4) colours.insert(shot.pixel(x, y));
        QVERIFY2(colours.size() > 20, "the window is blank");
        // The rows' text is drawn: dark pixels in the first row's band.
        QImage rows = list->viewport()->grab().toImage();
        int ink = 0;
        for (int y = 0; y < list->rowHeight(0); y++)
            for (int x = 0; x < rows.width(); x++) ink += rows.pixelColor(x, y).lightness() < 100;
        QVERIFY2(ink > 30, "the list shows no text");
    }
};

int main(int argc, char** argv) {
    // Before the library's first use: a store of this process's own.
    QTemporaryDir appdata;
    qputenv("APPDATA", appdata.path().toUtf8());
    qputenv("XDG_RUNTIME_DIR", appdata.path().toUtf8());
    QApplication app(argc, argv);
    te_manager_test test;
    return QTest::qExec(&test, argc, argv);
}

#include "manager_test.moc"
