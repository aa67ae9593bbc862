// The window driven through its real widgets, against a store of its own.
#include <QApplication>
#include <QClipboard>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QSystemTrayIcon>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <X11/Xlib.h>
#include <csignal>
#include <sys/stat.h>

#include "draft_file.h"
#include "engine_runner.h"
#include "expansion_settings.h"
#include "instance.h"
#include "main_window.h"
#include "mode_choice.h"
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

// A system tray on the test's display: a window owning the tray selection,
// which is what a program looks for, for as long as this object lives.
class te_fake_tray {
public:
    te_fake_tray() : display_(XOpenDisplay(nullptr)) {
        Window w = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
        XSetSelectionOwner(display_, XInternAtom(display_, "_NET_SYSTEM_TRAY_S0", False), w, CurrentTime);
        XSync(display_, False);
    }
    ~te_fake_tray() { XCloseDisplay(display_); }
    te_fake_tray(const te_fake_tray&) = delete;
    te_fake_tray& operator=(const te_fake_tray&) = delete;

private:
    Display* display_;
};

bool te_instance_runs(const QString& store, te_instance_info* info = nullptr) {
    return te_instance_query(store.toStdString(), info);
}

// What `te status` says.
QString te_status_line() {
    QProcess te;
    te.start(TE_TOOL_PATH, {"status"});
    te.waitForFinished(10000);
    return QString::fromUtf8(te.readAllStandardOutput());
}

// Answers the next input dialog with `text` once it is open.
void te_answer_input(const QString& text) {
    QTimer::singleShot(20, [text] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!dialog) return te_answer_input(text);
        dialog->setTextValue(text);
        dialog->accept();
    });
}

// Picks `path` in the next file dialog once it is open.
void te_answer_file_dialog(const QString& path) {
    QTimer::singleShot(20, [path] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return te_answer_file_dialog(path);
        // selectFile leaves the name field alone once it has the focus (a
        // window manager or a loaded machine may give it first): the name
        // is put there directly, as a user would type it.
        if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit"))
            name->setText(path);
        else
            dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog's own accept, through the public one
    });
}

// Presses the button labelled `label` in the next message box once it is
// open.
void te_answer_question(const QString& label) {
    QTimer::singleShot(20, [label] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return te_answer_question(label);
        for (QAbstractButton* b : box->buttons())
            if (b->text().remove('&') == label) return b->click();
        qWarning("a question without \"%s\": %s", qPrintable(label), qPrintable(box->text()));
        box->reject();
        te_answer_question(label);
    });
}

bool te_write_bytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The real program, started with `args`, until the object goes.
class te_manager_program {
public:
    explicit te_manager_program(const QStringList& args) { process_.start(TE_MANAGER_PATH, args); }
    ~te_manager_program() {
        ::kill((pid_t)process_.processId(), SIGTERM);
        process_.waitForFinished(5000);
    }
    te_manager_program(const te_manager_program&) = delete;
    te_manager_program& operator=(const te_manager_program&) = delete;

private:
    QProcess process_;
};

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
    void cleanup() {
        delete window;
        window = nullptr;
    }

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

    // The snippet's own settings, the placeholder menu, and the preview of
    // the new forms.
    void snippet_settings_and_placeholders_in_the_editor() {
        type_new_snippet(">>due", "Due ");
        auto* text = child<QPlainTextEdit>("text");
        for (QAction* a : child<QMenu>("placeholders")->actions())
            if (a->data() == "{date+14d}" || a->data() == "{cursor}") a->trigger();
        QCOMPARE(text->toPlainText(), QString("Due {cursor}{date+14d}"));
        child<QComboBox>("word_setting")->setCurrentIndex(1);
        QTest::keyClicks(child<QLineEdit>("locale_setting"), "C");
        QString due = QDate::currentDate().addDays(14).toString(Qt::ISODate);
        QTRY_COMPARE_WITH_TIMEOUT(child<QPlainTextEdit>("preview")->toPlainText(), QString("Due ") + QChar(0x2038) + due, 3000);
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
        QVERIFY2(te_file_bytes(te_store_path()).contains(
                     R"("apps":"","settings":{"word_triggers":true,"locale":"C"}})"),
                 te_file_bytes(te_store_path()).constData());
        QVERIFY(!child<QPushButton>("save")->isEnabled());  // what was stored is what is shown
    }

    // The settings for all snippets go to the engine at once and are kept
    // in manager.json; one the engine refuses is said and not kept.
    void settings_for_all_reach_the_engine_and_are_kept() {
        window->runner()->begin();
        child<QAction>("setting_word_triggers")->trigger();
        QString kept = te_mode_file_path(te_store_path());
        QVERIFY(te_file_bytes(kept).contains(R"("word_triggers":true)"));
        QCOMPARE(window->runner()->state(), te_engine_runner::TE_RUNNING);
        te_answer_input("xx_NOWHERE");
        QTimer::singleShot(300, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
        });
        child<QAction>("setting_locale")->trigger();
        QVERIFY(!te_file_bytes(kept).contains("xx_NOWHERE"));
        QCOMPARE(window->runner()->state(), te_engine_runner::TE_RUNNING);
        QCOMPARE(te_read_expansion_settings(kept).locale, QString());
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
        QTest::newRow("duplicate") << ">>addr" << ">>addr is a trigger already: choose another one";
        QTest::newRow("empty") << "" << "Give the snippet a trigger";
    }
    void refused_edit_shows_the_message_and_writes_nothing() {
        QFETCH(QString, trigger);
        QFETCH(QString, message);
        QByteArray before = te_file_bytes(te_store_path());
        type_new_snippet(trigger, "other text");
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
        QVERIFY2(child<QLabel>("message")->text().contains(message), qPrintable(child<QLabel>("message")->text()));
        QCOMPARE(window->focusWidget(), child<QLineEdit>("trigger"));  // the field to mend
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

    // On GNOME no program in front is known: a rule names programs under
    // Xwayland alone, which the window says, as `te rule` does.
    void rule_set_on_gnome_says_whom_it_reaches() {
        qputenv("TE_DESKTOP", "gnome");  // as the window settled it at its start
        child<QTabWidget>("pages")->setCurrentWidget(child<QWidget>("rules"));
        QTest::keyClicks(child<QLineEdit>("rule_process"), "gedit");
        child<QCheckBox>("rule_allow")->setChecked(false);
        QTest::mouseClick(child<QPushButton>("rule_set"), Qt::LeftButton);
        qunsetenv("TE_DESKTOP");
        QString said = child<QLabel>("rule_message")->text();
        QVERIFY2(said.contains("GNOME") && said.contains("Xwayland"), qPrintable(said));
        QCOMPARE(QString(te_rules_json()), QString(R"([{"process":"GEDIT","allow":0,"prefix":""}])"));
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

    void save_refuses_a_snippet_changed_on_disk() {
        QTest::mouseClick(child<QTableView>("list")->viewport(), Qt::LeftButton, {},
                          child<QTableView>("list")->visualRect(child<QTableView>("list")->model()->index(3, 0)).center());
        QCOMPARE(child<QLineEdit>("trigger")->text(), QString(">>sig"));
        QTest::keyClick(child<QPlainTextEdit>("text"), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(child<QPlainTextEdit>("text"), " and more");
        QProcess te;  // meanwhile another process moves the snippet
        te.start(TE_TOOL_PATH, {"update", ">>sig", R"({"trigger":">>sig","text":"Best regards,\nAnna","folder":"Old"})"});
        QVERIFY(te.waitForFinished(10000) && te.exitCode() == 0);
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
        QVERIFY2(child<QLabel>("message")->text().contains("changed elsewhere"), qPrintable(child<QLabel>("message")->text()));
        QVERIFY(child<QPlainTextEdit>("text")->toPlainText().endsWith(" and more"));
        QVERIFY(te_file_bytes(te_store_path()).contains(R"("folder":"Old")"));
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);  // told, the user stores the text anyway
        QVERIFY(te_file_bytes(te_store_path()).contains("Anna and more"));
    }

    // Another process holds the store's lock while the Save is checked and
    // changes the snippet before the Save gets the lock.
    void save_refuses_a_change_made_while_the_store_was_locked() {
        QTest::mouseClick(child<QTableView>("list")->viewport(), Qt::LeftButton, {},
                          child<QTableView>("list")->visualRect(child<QTableView>("list")->model()->index(3, 0)).center());
        QTest::keyClick(child<QPlainTextEdit>("text"), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(child<QPlainTextEdit>("text"), " and more");
        QString store = te_store_path(), next = store + ".next", held = store + ".held";
        QVERIFY(te_write_bytes(next, te_file_bytes(store).replace(R"("folder":"Mail")", R"("folder":"Held")")));
        QProcess writer;
        writer.start("flock", {store + ".lock", "sh", "-c", R"(touch "$0"; sleep 1; mv "$1" "$2")", held, next, store});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(held), 5000);
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(writer.waitForFinished(5000));
        QVERIFY2(child<QLabel>("message")->text().contains("changed elsewhere"), qPrintable(child<QLabel>("message")->text()));
        QVERIFY(te_file_bytes(store).contains(R"("folder":"Held")") && !te_file_bytes(store).contains("and more"));
    }

    void draft_stays_until_its_text_is_saved_or_dropped_data() {
        QTest::addColumn<bool>("save");
        QTest::newRow("saved") << true;
        QTest::newRow("dropped") << false;
    }
    void draft_stays_until_its_text_is_saved_or_dropped() {
        QFETCH(bool, save);
        QString draft = te_draft_path(te_store_path()), error, text = QString("drafted, ") + QTest::currentDataTag();
        te_snippet_row stored;
        QVERIFY(te_fetch_snippet(">>sig", &stored));
        QVERIFY2(te_keep_draft(draft, ">>sig", {">>sig", "Mail", "*", text}, &error), qPrintable(error));
        window->offer_draft();
        QCOMPARE(child<QPlainTextEdit>("text")->toPlainText(), text);
        QVERIFY2(QFile::exists(draft), "the draft went before its text was saved");
        if (save) {
            QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
            QVERIFY(te_file_bytes(te_store_path()).contains(text.toUtf8()));
        } else {
            for (QPushButton* b : window->findChildren<QPushButton*>())
                if (b->text() == "Revert") QTest::mouseClick(b, Qt::LeftButton);
            QCOMPARE(child<QPlainTextEdit>("text")->toPlainText(), stored.text);
        }
        QVERIFY(!QFile::exists(draft));
    }

    void import_asks_before_replacing_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("said");
        QTest::addColumn<bool>("sig_replaced");
        QTest::addColumn<bool>("new_added");
        QTest::newRow("replace") << "Replace" << "1 added, 1 replaced: >>sig" << true << true;
        QTest::newRow("keep mine") << "Keep mine" << "1 added, 1 kept: >>sig" << false << true;
        QTest::newRow("cancel") << "Cancel" << "" << false << false;
    }
    void import_asks_before_replacing() {
        QFETCH(QString, answer);
        QFETCH(QString, said);
        QFETCH(bool, sig_replaced);
        QFETCH(bool, new_added);
        // Each row imports a text and a trigger of its own.
        QString file = qEnvironmentVariable("APPDATA") + "/import.json", tag = QTest::currentDataTag();
        QString text = "imported, " + tag, fresh = ">>new, " + tag;
        QVERIFY(te_write_bytes(file, QString(R"([{"trigger":">>sig","text":"%1"},{"trigger":"%2","text":"new"}])")
                                         .arg(text, fresh).toUtf8()));
        te_answer_file_dialog(file);
        te_answer_question(answer);
        QTest::keyClick(window, Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(te_file_bytes(te_store_path()).contains(text.toUtf8()), sig_replaced);
        QCOMPARE(te_shown_triggers(child<QTableView>("list")).contains(fresh), new_added);
        QVERIFY2(window->statusBar()->currentMessage().contains(said), qPrintable(window->statusBar()->currentMessage()));
        // >>sig, now imported, begins the starter >>signoff: said beside the count.
        if (sig_replaced) QVERIFY(window->statusBar()->currentMessage().contains(">>sig begins >>signoff"));
    }

    // Choosing a store starts no engine and touches no desktop: the window
    // opens on another store where no Wayland compositor answers.
    void store_option_touches_no_desktop() {
        QString dir = qEnvironmentVariable("APPDATA"), shot = dir + "/shot.png";
        QProcess manager;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TE_DESKTOP", "wayland");
        env.insert("WAYLAND_DISPLAY", dir + "/no-compositor");
        manager.setProcessEnvironment(env);
        manager.start(TE_MANAGER_PATH, {"--store", dir + "/other.json", "--no-engine", "--screenshot", shot});
        QVERIFY(manager.waitForFinished(20000));
        QVERIFY2(manager.exitCode() == 0 && QFile::exists(shot), manager.readAllStandardError().constData());
    }

    void unreadable_store_is_said_and_nothing_shown_exported_or_expanded() {
        QString store = te_store_path();
        QFile::remove(store);
        QVERIFY(QFile::link(QFileInfo(store).fileName(), store));  // a loop: it cannot be opened
        window->reload();
        QVERIFY2(child<QLabel>("store_problem")->text().startsWith("cannot read " + store + ": "),
                 qPrintable(child<QLabel>("store_problem")->text()));
        QCOMPARE(child<QTableView>("list")->model()->rowCount(), 0);
        QString out = qEnvironmentVariable("APPDATA") + "/export.json", message;
        QVERIFY(!te_export_to(store, out, &message) && !QFile::exists(out));
        window->runner()->begin();  // nor typed: the engine would expand the seeds
        QCOMPARE(window->runner()->state(), te_engine_runner::TE_FAILED);
        QVERIFY2(window->runner()->describe().contains("cannot read " + store + ": "),
                 qPrintable(window->runner()->describe()));
    }

    void unreadable_rules_file_keeps_the_engine_off() {
        QString rules = qEnvironmentVariable("APPDATA") + "/Wrenfold/rules.json";
        QVERIFY(QFile::link("rules.json", rules));  // a loop: it cannot be opened
        window->runner()->begin();
        QCOMPARE(window->runner()->state(), te_engine_runner::TE_FAILED);
        QVERIFY2(window->runner()->describe().contains("cannot read " + rules + ": "),
                 qPrintable(window->runner()->describe()));
    }

    void banner_names_the_store_of_each_side() {
        QString other = qEnvironmentVariable("APPDATA") + "/other.json";
        QProcess run;
        run.start(TE_TOOL_PATH, {"run", "--quiet", "--store", other});
        QTRY_VERIFY_WITH_TIMEOUT(te_instance_runs(te_store_path()), 5000);
        window->runner()->begin();
        QString banner = window->runner()->describe();
        QVERIFY2(banner.contains(other) && banner.contains(te_store_path()), qPrintable(banner));
        ::kill((pid_t)run.processId(), SIGTERM);
        QVERIFY(run.waitForFinished(5000));
    }

    // Unsaved text either way: in the tray it would be lost, with the
    // window open the question about it would never be answered. The store
    // is chosen as te chooses it.
    void stop_signal_ends_it_at_once_data() {
        QTest::addColumn<bool>("tray");
        QTest::addColumn<bool>("by_option");
        QTest::newRow("in the tray, --store") << true << true;
        QTest::newRow("window open, TE_STORE") << false << false;
    }
    void stop_signal_ends_it_at_once() {
        QFETCH(bool, tray);
        QFETCH(bool, by_option);
        std::unique_ptr<te_fake_tray> fake_tray(tray ? new te_fake_tray : nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), tray, 2000);
        QString store = qEnvironmentVariable("APPDATA") + "/chosen.json", draft = te_draft_path(store), error;
        te_snippet_row typed{">>draft", "", "*", "not saved yet"};
        QVERIFY2(te_keep_draft(draft, QString(), typed, &error), qPrintable(error));  // offered back at start
        QProcess manager;  // the real program; killed at the end if still there
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!by_option) env.insert("TE_STORE", store);
        manager.setProcessEnvironment(env);
        manager.start(TE_MANAGER_PATH, by_option ? QStringList{"--store", store} : QStringList{});
        te_instance_info info;
        QTRY_VERIFY_WITH_TIMEOUT(te_instance_runs(store, &info) && !info.mode.empty(), 8000);
        QCOMPARE(QString::fromStdString(info.store), store);
        QElapsedTimer clock;
        clock.start();
        ::kill((pid_t)manager.processId(), SIGTERM);
        QVERIFY(manager.waitForFinished(5000));
        // At once: about 20 ms, where a question left open would keep it for
        // ever. The bound leaves room for the sanitizers' leak check at exit
        // (over a second for the whole window).
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(manager.exitCode(), 0);
        QVERIFY(!te_instance_runs(store));
        QString stored;
        te_snippet_row kept;
        QVERIFY(te_read_draft(draft, &stored, &kept) && kept == typed);
    }

    void chosen_mode_reaches_the_engine_and_survives_a_restart() {
        window->runner()->begin();
        te_answer_input("ctrl+alt+j");
        child<QAction>("mode_hotkey")->trigger();
        QString status = te_status_line();
        QVERIFY2(status.contains("(velmora-manager): pid") && status.contains(", hotkey mode, "), qPrintable(status));
        QVERIFY(child<QLabel>("engine_state")->text().contains("hotkey mode (ctrl+alt+j)"));
        QString kept = te_mode_file_path(te_store_path());
        QCOMPARE(te_file_mode(kept), 0600);
        delete window;  // the program ends; another starts
        window = nullptr;
        te_manager_program manager({});
        QTRY_VERIFY_WITH_TIMEOUT(te_status_line().contains(", hotkey mode, "), 8000);
        QCOMPARE(te_read_mode_choice(kept).hotkey, QString("ctrl+alt+j"));
    }

    void mode_option_overrides_for_one_run() {
        QString kept = te_mode_file_path(te_store_path()), error;
        QVERIFY2(te_keep_mode_choice(kept, {"hotkey", "CTRL+ALT+J"}, &error), qPrintable(error));
        QProcess refused;
        refused.start(TE_MANAGER_PATH, {"--hotkey", "CTRL+ALT"});
        QVERIFY(refused.waitForFinished(10000));
        QCOMPARE(refused.exitCode(), 1);
        QVERIFY(refused.readAllStandardError().contains("hotkey CTRL+ALT names no key"));
        {
            te_manager_program manager({"--mode", "clipboard"});
            QTRY_VERIFY_WITH_TIMEOUT(te_status_line().contains(", clipboard mode, "), 8000);
        }
        // The choice kept is as it was (the window keeps its size beside it).
        QCOMPARE(te_read_mode_choice(kept).mode, QString("hotkey"));
        QCOMPARE(te_read_mode_choice(kept).hotkey, QString("CTRL+ALT+J"));
    }

    // An untrusted X connection (as `ssh -X` makes) has no XInput: typed
    // triggers cannot run there, the clipboard can.
    void keys_mode_falls_back_to_the_clipboard_and_says_why() {
        QString cookie = qEnvironmentVariable("APPDATA") + "/untrusted";
        QCOMPARE(QProcess::execute("xauth", {"-q", "-f", cookie, "generate", qEnvironmentVariable("DISPLAY"), ".",
                                             "untrusted"}),
                 0);
        qputenv("XAUTHORITY", cookie.toUtf8());  // for the engine's connections; the window has its own
        window->runner()->begin();
        QVERIFY(child<QLabel>("engine_state")->text().startsWith("Expanding snippets in clipboard mode"));
        QString said = child<QLabel>("banner_text")->text();
        QVERIFY2(said.contains("keys mode: this desktop cannot watch the keyboard") && child<QLabel>("banner_text")->isVisible(),
                 qPrintable(said));
        QVERIFY2(te_status_line().contains(", clipboard mode, "), qPrintable(te_status_line()));
    }

    void autostart_toggle_writes_the_entry_and_turns_te_off() {
        QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + "/autostart/";
        QCOMPARE(QProcess::execute(TE_TOOL_PATH, {"autostart", "on"}), 0);
        QVERIFY(QFile::exists(folder + "velmora-te.desktop"));
        QAction* autostart = child<QAction>("autostart");
        autostart->trigger();
        QVERIFY(autostart->isChecked() && !QFile::exists(folder + "velmora-te.desktop"));
        QVERIFY2(window->statusBar()->currentMessage().contains("`te run` no longer does"),
                 qPrintable(window->statusBar()->currentMessage()));
        QString entry = folder + "velmora-manager.desktop";
        QVERIFY(te_file_bytes(entry).contains("\nExec=" + QCoreApplication::applicationFilePath().toUtf8() + " --tray\n"));
        QCOMPARE(te_file_mode(entry), 0600);
        autostart->trigger();
        QVERIFY(!autostart->isChecked() && !QFile::exists(entry));
    }

    // Typed triggers with other programs' typing watched (xdotool types
    // here): a trigger typed into the window's own field stays as typed and
    // is not counted, though no rule stops it.
    void own_fields_are_never_expanded_into() {
        window->runner()->set_synthetic_keys(true);
        window->runner()->begin();
        QVERIFY2(window->runner()->mode() == "keys", qPrintable(window->runner()->describe()));
        auto* search = child<QLineEdit>("search");
        search->setFocus();
        QCOMPARE(QProcess::execute("xdotool", {"type", "--delay", "30", ">>email"}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(search->text(), QString(">>email"), 3000);
        QTest::qWait(500);  // an expansion would have erased it by now
        QCOMPARE(search->text(), QString(">>email"));
        QVERIFY2(QByteArray(te_stats_json()).contains("\"expanded\":0,"), te_stats_json());
    }

    // Without --mode, te run watches typed triggers where the desktop can
    // watch the keyboard.
    void te_run_types_triggers_by_default() {
        QProcess run;
        run.start(TE_TOOL_PATH, {"run", "--quiet"});
        QTRY_VERIFY_WITH_TIMEOUT(te_status_line().contains(" mode, up "), 5000);  // published
        QVERIFY2(te_status_line().contains(", keys mode, "), qPrintable(te_status_line()));
        ::kill((pid_t)run.processId(), SIGTERM);
        QVERIFY(run.waitForFinished(5000));
    }

    // The strip says how to try a snippet until it is dismissed, for good;
    // New puts the cursor in Trigger, and a greyed-out Save says why.
    void first_start_strip_is_shown_until_dismissed() {
        auto* strip = child<QWidget>("first_start");
        QVERIFY(strip->isVisible());
        QVERIFY2(child<QLabel>("first_start_text")->text().contains(">>email"),
                 qPrintable(child<QLabel>("first_start_text")->text()));
        QTest::mouseClick(child<QPushButton>("first_start_close"), Qt::LeftButton);
        QVERIFY(!strip->isVisible());
        delete window;
        window = new te_main_window(te_store_path());
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QVERIFY(!child<QWidget>("first_start")->isVisible());
        QTest::keyClick(window, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(window->focusWidget(), child<QLineEdit>("trigger"));
        QVERIFY(!child<QPushButton>("save")->isEnabled());
        QVERIFY(child<QLabel>("save_hint")->text().startsWith("Nothing to save yet"));
    }

    // Without a tray, closing ends expansion: asked, and not again once
    // told so.
    void close_without_a_tray_asks_once() {
        window->runner()->begin();
        te_answer_question("Cancel");
        window->close();
        QVERIFY(window->isVisible());
        QTimer::singleShot(20, [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            box->checkBox()->setChecked(true);
            for (QAbstractButton* b : box->buttons())
                if (b->text() == "Quit") b->click();
        });
        window->close();
        QVERIFY(!window->isVisible());
        QVERIFY(te_file_bytes(te_mode_file_path(te_store_path())).contains("\"ask_before_quit\":false"));
        window->show();
        window->close();  // no question to answer: it would wait here
        QVERIFY(!window->isVisible());
    }

    // A rule added as it stands blocks the program, named in any case.
    void new_rule_blocks_by_default() {
        child<QTabWidget>("pages")->setCurrentWidget(child<QWidget>("rules"));
        QTest::keyClicks(child<QLineEdit>("rule_process"), "KeePassXC");
        QCOMPARE(child<QLabel>("rule_name")->text(), QString("rule for KEEPASSXC"));
        QTest::mouseClick(child<QPushButton>("rule_set"), Qt::LeftButton);
        QCOMPARE(QString(te_rules_json()), QString(R"([{"process":"KEEPASSXC","allow":0,"prefix":""}])"));
    }

    // At twice the scale on a 1280x800 screen the window fits, and it
    // opens again at the size it was left at.
    void window_fits_the_screen_and_keeps_its_size() {
        QString shot = qEnvironmentVariable("APPDATA") + "/scaled.png";
        QProcess scaled;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_SCALE_FACTOR", "2");
        scaled.setProcessEnvironment(env);
        scaled.start(TE_MANAGER_PATH, {"--no-engine", "--screenshot", shot});
        QVERIFY(scaled.waitForFinished(20000));
        QSize drawn = QImage(shot).size();
        QVERIFY2(drawn.isValid() && drawn.width() <= 1280 && drawn.height() <= 800,
                 qPrintable(QString("%1x%2").arg(drawn.width()).arg(drawn.height())));
        window->resize(900, 600);
        window->close();
        delete window;
        window = new te_main_window(te_store_path());
        QCOMPARE(window->size(), QSize(900, 600));
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
    qputenv("XDG_CONFIG_HOME", (appdata.path() + "/config").toUtf8());
    QApplication app(argc, argv);
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);  // dialogs the test can answer
    te_manager_test test;
    return QTest::qExec(&test, argc, argv);
}

#include "manager_test.moc"
