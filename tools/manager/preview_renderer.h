// Renders the editor's preview with te_render on a thread of its own.
// te_render reads the clipboard; when this window owns it, the answer has to
// come from this window's own event loop, so the GUI thread never waits for
// a rendering. Requests coalesce: while one rendering runs, only the latest
// text asked for is kept, and it is rendered next.
#ifndef TE_MANAGER_PREVIEW_RENDERER_H
#define TE_MANAGER_PREVIEW_RENDERER_H

#include <QObject>
#include <QString>
#include <QThread>

class te_preview_renderer : public QObject {
    Q_OBJECT
public:
    explicit te_preview_renderer(QObject* parent = nullptr);
    ~te_preview_renderer() override;

    void request(const QString& tmpl);

signals:
    void rendered(const QString& text);

private:
    void dispatch();
    void finished(const QString& text);

    QThread m_thread;
    QObject* m_worker;  // lives in m_thread; its slots run the renderings
    QString m_pending;
    bool m_has_pending = false;
    bool m_busy = false;
};

#endif
