#include "stats_page.h"

#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>

#include "engine_client.h"

te_stats_page::te_stats_page(QWidget* parent)
    : QWidget(parent),
      m_engine(new QLabel),
      m_expanded(new QLabel),
      m_today(new QLabel),
      m_trigger(new QLabel),
      m_program(new QLabel),
      m_text(new QPlainTextEdit),
      m_timer(new QTimer(this)) {
    setObjectName("statistics");
    m_text->setReadOnly(true);
    for (QLabel* l : {m_trigger, m_program}) l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_engine->setWordWrap(true);
    auto* form = new QFormLayout(this);
    form->addRow(m_engine);
    form->addRow(tr("Expanded since start"), m_expanded);
    form->addRow(tr("Expanded today"), m_today);
    form->addRow(tr("Last trigger"), m_trigger);
    form->addRow(tr("Last program"), m_program);
    form->addRow(tr("Last text typed"), m_text);
    connect(m_timer, &QTimer::timeout, this, &te_stats_page::refresh);
}

void te_stats_page::refresh() {
    te_stats_view s = te_read_stats();
    m_expanded->setText(QString::number(s.expanded));
    m_today->setText(QString::number(s.today));
    m_trigger->setText(s.last_trigger.isEmpty() ? tr("none yet") : s.last_trigger);
    m_program->setText(s.last_app.isEmpty() ? tr("none yet") : s.last_app);
    if (m_text->toPlainText() != s.last_text) m_text->setPlainText(s.last_text);
}

void te_stats_page::set_engine_line(const QString& text) { m_engine->setText(text); }

void te_stats_page::showEvent(QShowEvent* event) {
    refresh();
    m_timer->start(1000);
    QWidget::showEvent(event);
}

void te_stats_page::hideEvent(QHideEvent* event) {
    m_timer->stop();
    QWidget::hideEvent(event);
}
