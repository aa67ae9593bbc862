#include "preview_renderer.h"

#include "engine_client.h"

te_preview_renderer::te_preview_renderer(QObject* parent) : QObject(parent), m_worker(new QObject) {
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
}

te_preview_renderer::~te_preview_renderer() {
    m_thread.quit();
    m_thread.wait();
}

void te_preview_renderer::request(const QString& tmpl) {
    m_pending = tmpl;
    m_has_pending = true;
    if (!m_busy) dispatch();
}

void te_preview_renderer::dispatch() {
    QString tmpl = m_pending;
    m_has_pending = false;
    m_busy = true;
    QMetaObject::invokeMethod(
        m_worker,
        [this, tmpl] {
            QString text = te_render_text(tmpl);
            QMetaObject::invokeMethod(this, [this, text] { finished(text); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void te_preview_renderer::finished(const QString& text) {
    m_busy = false;
    emit rendered(text);
    if (m_has_pending) dispatch();
}
