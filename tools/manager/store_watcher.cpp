#include "store_watcher.h"

#include <QFile>
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
      m_poll(new QTimer(this)),
      m_stamp(QFile::encodeName(store_path).toStdString()) {
    m_settle->setSingleShot(true);
    m_settle->setInterval(TE_SETTLE_MS);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &te_store_watcher::look);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &te_store_watcher::look);
    connect(m_settle, &QTimer::timeout, this, &te_store_watcher::check);
    connect(m_poll, &QTimer::timeout, this, &te_store_watcher::check);
    m_stamp.mark_seen();
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
    // Other files in the folder come and go: only an event on the file
    // itself or a new stamp counts.
    bool differs = m_stamp.changed();
    if (!m_file_event && !differs) return;
    m_file_event = false;
    emit changed();
}
