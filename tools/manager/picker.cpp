#include "picker.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

#include "chord_grab.h"
#include "engine_client.h"
#include "focus_return.h"
#include "hotkey_chord.h"
#include "picker_window.h"
#include "store_watcher.h"
#include "textexpander.h"

namespace {

// How long the program that was in front may take to have the focus again.
const int TE_FOCUS_BACK_MS = 500;
const int TE_NOT_BACK = -2;

// The name `--pick` reaches this store's manager by on this display: one
// per user, store and display.
QString te_door_name(const QString& store_path) {
    QString store = QFileInfo(store_path).canonicalFilePath();
    if (store.isEmpty()) store = QFileInfo(store_path).absoluteFilePath();
    QByteArray key = QStringLiteral("%1\n%2\n%3\n%4")
                         .arg((qulonglong)::getuid())
                         .arg(store, qEnvironmentVariable("DISPLAY"), qEnvironmentVariable("WAYLAND_DISPLAY"))
                         .toUtf8();
    return QStringLiteral("velmora-picker-") +
           QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(24));
}

}  // namespace

te_picker::te_picker(const QString& store_path, QObject* parent)
    : QObject(parent), m_store_path(store_path), m_usage(store_path), m_window(new te_picker_window(&m_search)),
      m_grab(te_chord_grab::make(this)), m_focus(te_focus_return::make()),
      m_watcher(new te_store_watcher(store_path, this)), m_typist(new QObject) {
    m_typist->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_typist, &QObject::deleteLater);
    m_thread.start();
    connect(m_grab, &te_chord_grab::pressed, this, &te_picker::open);
    connect(m_window, &te_picker_window::picked, this, &te_picker::picked);
    connect(m_window, &te_picker_window::dismissed, this, &te_picker::dismissed);
    connect(m_watcher, &te_store_watcher::changed, this, &te_picker::reload);
    m_search.set_usage(m_usage.weights(QDateTime::currentSecsSinceEpoch()));
    reload();
}

te_picker::~te_picker() {
    m_thread.quit();
    m_thread.wait();
    delete m_window;
}

void te_picker::reload() {
    std::vector<te_snippet_row> rows;
    QString error;
    te_read_snippets(&rows, &error);  // an unreadable store lists nothing
    m_search.set_rows(rows);
    if (m_window->isVisible()) m_window->refresh();
}

void te_picker::open() {
    if (m_window->isVisible()) return m_window->activateWindow();
    m_focus->remember();
    m_window->open();
}

bool te_picker::use_chord(const QString& chord, QString* why) {
    te_chord parsed;
    QString problem;
    m_chord = chord;
    if (!te_chord_parse(chord.toUtf8().constData(), &parsed) || !m_grab->grab(parsed, &problem)) {
        m_problem = problem.isEmpty() ? tr("%1 names no key").arg(chord) : problem;
    } else {
        m_problem.clear();
    }
    if (why) *why = m_problem;
    emit chord_changed();
    return m_problem.isEmpty();
}

void te_picker::picked(const QString& trigger) {
    m_focus->give_back();
    QByteArray utf8 = trigger.toUtf8();
    te_focus_return* focus = m_focus.get();
    QMetaObject::invokeMethod(
        m_typist,
        [this, focus, trigger, utf8] {
            int result = focus->wait_back(TE_FOCUS_BACK_MS) ? te_expand_in_front(utf8.constData()) : TE_NOT_BACK;
            QString why = result == 1 ? QString() : QString::fromUtf8(te_last_error());
            QMetaObject::invokeMethod(this, [this, trigger, result, why] { done(trigger, result, why); },
                                      Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void te_picker::done(const QString& trigger, int result, const QString& why) {
    if (result == 1) {
        QString error;
        long long now = QDateTime::currentSecsSinceEpoch();
        m_usage.count(trigger, now, &error);  // not kept: it still counts for this run
        m_search.set_usage(m_usage.weights(now));
    } else {
        emit refused(result == TE_NOT_BACK
                         ? tr("%1 was not typed: the program you were in did not get the focus back").arg(trigger)
                         : tr("%1 was not typed: %2").arg(trigger, why));
    }
    emit finished(result == TE_NOT_BACK ? -1 : result);
}

void te_picker::dismissed(bool give_back) {
    if (give_back) m_focus->give_back();
}

bool te_picker::listen() {
    m_door = new QLocalServer(this);
    m_door->setSocketOptions(QLocalServer::UserAccessOption);
    QString name = te_door_name(m_store_path);
    if (!m_door->listen(name)) {
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(500)) return false;  // another manager answers there
        QLocalServer::removeServer(name);  // left by a manager that ended abruptly
        if (!m_door->listen(name)) return false;
    }
    connect(m_door, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = m_door->nextPendingConnection()) {
            s->deleteLater();
            open();
        }
    });
    return true;
}

bool te_picker::ask_to_open(const QString& store_path) {
    QLocalSocket door;
    door.connectToServer(te_door_name(store_path));
    if (!door.waitForConnected(2000)) return false;
    door.disconnectFromServer();
    return true;
}
