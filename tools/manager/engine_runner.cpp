#include "engine_runner.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include "engine_client.h"
#include "hotkey_check.h"
#include "rules_file.h"
#include "store_select.h"
#include "textexpander.h"

namespace {
const int TE_TICK_MS = 2000;
const int TE_STOP_WAIT_MS = 5000;
const char* const TE_HOST_NAME = "velmora-manager";

// Two names of one store file (a link, a relative path) count as one.
bool te_same_file(const QString& a, const QString& b) {
    QString x = QFileInfo(a).canonicalFilePath(), y = QFileInfo(b).canonicalFilePath();
    return x.isEmpty() || y.isEmpty() ? QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath() : x == y;
}

QString te_since(long long unix_seconds) {
    if (unix_seconds <= 0) return QCoreApplication::translate("te_engine_runner", "an unknown time");
    return QDateTime::fromSecsSinceEpoch(unix_seconds).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}
}  // namespace

te_engine_runner::te_engine_runner(const QString& store_path, QObject* parent)
    : QObject(parent), m_store(store_path.toStdString()), m_desktop(qEnvironmentVariable("TE_DESKTOP")),
      m_timer(new QTimer(this)) {
    connect(m_timer, &QTimer::timeout, this, &te_engine_runner::tick);
}

te_engine_runner::~te_engine_runner() { end(); }

void te_engine_runner::set_state(te_state state) {
    m_state = state;
    if (m_lock.held()) publish();
    follow_timer();
    emit state_changed();
}

void te_engine_runner::follow_timer() {
    bool needed = m_state == TE_ELSEWHERE || (m_lock.held() && m_refresh_signal.isEmpty());
    if (needed && !m_timer->isActive()) m_timer->start(TE_TICK_MS);
    if (!needed) m_timer->stop();
}

void te_engine_runner::refresh() {
    if (m_lock.held()) publish();
}

void te_engine_runner::begin() {
    std::string error;
    if (!m_lock.acquire(m_store, &error)) {
        if (te_instance_query(m_store, &m_other)) return set_state(TE_ELSEWHERE);
        m_error = QString::fromStdString(error);
        return set_state(TE_FAILED);
    }
    m_started = QDateTime::currentSecsSinceEpoch();
    if (start_engine()) return set_state(TE_RUNNING);
    m_lock.release();  // a host that can start the engine may have it
    set_state(TE_FAILED);
}

// The chosen mode, else the clipboard with the reason kept. Never while
// the store cannot be read (the engine would expand the seed snippets
// held in its place), nor while the rules file cannot be taken (a block
// rule lost would let it expand where it must not).
bool te_engine_runner::start_engine() {
    QString wanted = te_mode_wanted(m_choice);
    std::string store_error, chord_error;
    m_fallback.clear();
    if (!te_store_readable(m_store, &store_error)) {
        m_error = QString::fromStdString(store_error);
        return false;
    }
    if (!te_apply_rules_file(te_rules_file_path(QString::fromStdString(m_store)), &m_error)) return false;
    if (wanted == QLatin1String("hotkey") && !te_hotkey_check(m_choice.hotkey.toStdString(), &chord_error)) {
        m_fallback = QString::fromStdString(chord_error);
    } else {
        if (start_in(wanted)) return true;
        if (wanted == QLatin1String("clipboard")) return false;
        m_fallback = m_error;
    }
    return start_in(QStringLiteral("clipboard"));
}

// The window's store, and every setting of the engine spelled out: the
// store selection may have started it once in another mode. Nothing is
// expanded into this process's own windows (the window, its dialogs, the
// picker): a trigger typed in a field there is what the user means.
bool te_engine_runner::start_in(const QString& mode) {
    QJsonObject config{{"mode", mode}, {"hotkey", m_choice.hotkey}, {"poll_ms", 100}, {"dry_run", false},
                       {"synthetic_keys", m_synthetic_keys}, {"store", QString::fromStdString(m_store)},
                       {"skip_own_windows", true}};
    te_add_expansion_settings(&config, m_settings);
    if (te_start(QJsonDocument(config).toJson(QJsonDocument::Compact).constData()) == 1) {
        m_mode = mode;
        return true;
    }
    m_error = QString::fromUtf8(te_last_error());
    return false;
}

void te_engine_runner::pause() {
    if (m_state != TE_RUNNING) return;
    te_stop();
    set_state(TE_PAUSED);
}

void te_engine_runner::resume() {
    if (m_state != TE_PAUSED) return;
    set_state(start_engine() ? TE_RUNNING : TE_FAILED);
}

bool te_engine_runner::take_over(QString* error) {
    std::string message;
    if (te_instance_stop(m_store, TE_STOP_WAIT_MS, &message) < 0) {
        *error = QString::fromStdString(message);
        return false;
    }
    begin();
    return true;
}

void te_engine_runner::end() {
    m_timer->stop();
    if (m_state == TE_RUNNING) te_stop();
    m_lock.release();
}

void te_engine_runner::set_choice(const te_mode_choice& choice) {
    m_choice = choice;
    restart();
}

void te_engine_runner::set_settings(const te_expansion_settings& settings) {
    m_settings = settings;
    restart();
}

void te_engine_runner::restart() {
    if (m_state == TE_RUNNING) {
        te_stop();
        set_state(start_engine() ? TE_RUNNING : TE_FAILED);
    } else if (m_state == TE_FAILED) {
        begin();
    } else {
        emit state_changed();
    }
}

void te_engine_runner::publish() {
    te_instance_info info;
    info.pid = (long)QCoreApplication::applicationPid();
    info.mode = m_mode.toStdString();
    info.started = m_started;
    info.expanded = te_read_stats().expanded;
    info.store = m_store;
    info.host = TE_HOST_NAME;
    info.paused = m_state != TE_RUNNING;
    info.desktop = m_desktop.toStdString();
    info.refresh = m_refresh_signal.toStdString();
    m_lock.publish(info);
    m_published = info;
}

void te_engine_runner::tick() {
    if (m_lock.held()) {
        if (te_read_stats().expanded != m_published.expanded) publish();
        return;
    }
    if (m_state != TE_ELSEWHERE) return m_timer->stop();
    if (te_instance_query(m_store, &m_other)) return emit state_changed();
    begin();
}

QString te_engine_runner::describe() const {
    switch (m_state) {
    case TE_RUNNING: {
        QString where = m_desktop.isEmpty() ? QString() : tr(" on %1").arg(m_desktop);
        return tr("Expanding snippets in %1%2 since %3.")
            .arg(te_mode_title(m_mode, m_choice.hotkey), where, te_since(m_started));
    }
    case TE_PAUSED:
        return tr("Paused: snippets are not expanded (%1 when resumed).")
            .arg(te_mode_title(te_mode_wanted(m_choice), m_choice.hotkey));
    case TE_ELSEWHERE: {
        QString mode = m_other.mode.empty() ? QString() : tr(" in %1 mode").arg(QString::fromStdString(m_other.mode));
        QString who = tr("%1 (pid %2) expands snippets%3 since %4 (%5 so far)")
                          .arg(QString::fromStdString(m_other.host.empty() ? "te run" : m_other.host))
                          .arg(m_other.pid)
                          .arg(mode, te_since(m_other.started))
                          .arg(m_other.expanded);
        QString mine = QString::fromStdString(m_store), theirs = QString::fromStdString(m_other.store);
        if (theirs.isEmpty()) return tr("%1; this window edits %2.").arg(who, mine);
        if (te_same_file(theirs, mine)) return tr("%1 from %2, the store this window edits.").arg(who, theirs);
        return tr("%1 from %2; this window edits another store, %3.").arg(who, theirs, mine);
    }
    case TE_FAILED: return tr("The engine did not start: %1").arg(m_error);
    default: return tr("Not expanding: this window only edits snippets.");
    }
}

QString te_engine_runner::fallback_note() const {
    if (m_state != TE_RUNNING || m_fallback.isEmpty()) return QString();
    return tr("Clipboard mode runs instead of %1, which did not start: %2")
        .arg(te_mode_title(te_mode_wanted(m_choice), m_choice.hotkey), m_fallback);
}
