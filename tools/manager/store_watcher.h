// Notices when the snippet store file changes under the window: another
// process (`te add`, a running `te run`, an editor) may replace it. The
// file is written through a temporary file and a rename, which gives it a
// new inode, so the watcher watches the file and its folder and adds the
// path again after each change. A slow timer comparing the file's stamp
// (te_file_watch, as the library tells versions apart) catches whatever the
// watcher misses.
#ifndef TE_MANAGER_STORE_WATCHER_H
#define TE_MANAGER_STORE_WATCHER_H

#include <QObject>
#include <QString>

#include "file_watch.h"

class QFileSystemWatcher;
class QTimer;

class te_store_watcher : public QObject {
    Q_OBJECT
public:
    te_store_watcher(const QString& store_path, QObject* parent = nullptr);

signals:
    // The file differs from when it was last seen (debounced).
    void changed();

private:
    void watch();
    void look(const QString& path);
    void check();

    QString m_path;
    QFileSystemWatcher* m_watcher;
    QTimer* m_settle;  // lets a burst of events end before reloading
    QTimer* m_poll;
    te_file_watch m_stamp;
    bool m_file_event = false;  // the file itself changed since the last check
};

#endif
