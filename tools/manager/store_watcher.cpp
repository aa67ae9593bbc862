#include "store_watcher.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace {
const int TE_SETTLE_MS = 150;
const int TE_POLL_MS = 3000;
}  // namespace

te_store_watcher::te_store_watcher(const QString& store_path, QObject* parent)
    : QObject(parent),
      m_path(store_path),
      m_watcher(new QFileSystemWatcher(this)),
      m_settle(new QTimer(this)),
      m_poll(new QTimer(this)) {
    m_settle->setSingleShot(true);
    m_settle->setInterval(TE_SETTLE_MS);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &te_store_watcher::look);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &te_store_watcher::look);
    connect(m_settle, &QTimer::timeout, this, &te_store_watcher::check);
    connect(m_poll, &QTimer::timeout, this, &te_store_watcher::check);
    QFileInfo info(m_path);
    m_seen_time = info.lastModified();
    m_seen_size = info.exists() ? info.size() : -1;
    watch();
    m_poll->start(TE_POLL_MS);
}

void te_store_watcher::watch() {
    QString folder = QFileInfo(m_path).absolutePath();
    if (!m_watcher->directories().contains(folder)) m_watcher->addPath(folder);
    if (!m_watcher->files().contains(m_path) && QFileInfo::exists(m_path)) m_watcher->addPath(m_path);
}

void te_store_watcher::look(const QString& path) {
    if (path == m_path) m_file_event = true;
    watch();
    m_settle->start();
}

void te_store_watcher::check() {
    watch();
    QFileInfo info(m_path);
    QDateTime time = info.lastModified();
    qint64 size = info.exists() ? info.size() : -1;
    // Other files in the folder come and go: only an event on the file
    // itself or a new size or time counts.
    if (!m_file_event && time == m_seen_time && size == m_seen_size) return;
    m_file_event = false;
    m_seen_time = time;
    m_seen_size = size;
    emit changed();
}
