#include "first_start_strip.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "window_prefs.h"

te_first_start_strip::te_first_start_strip(const QString& prefs_path, QWidget* parent)
    : QFrame(parent), m_prefs_path(prefs_path), m_text(new QLabel) {
    setObjectName("first_start");
    setFrameShape(QFrame::StyledPanel);
    setStyleSheet("#first_start { background: #e8f0fe; border: 1px solid #aac4f0; border-radius: 4px; }");
    m_text->setObjectName("first_start_text");
    m_text->setWordWrap(true);
    auto* close = new QPushButton(tr("Got it"));
    close->setObjectName("first_start_close");
    auto* row = new QHBoxLayout(this);
    row->addWidget(m_text, 1);
    row->addWidget(close);
    connect(close, &QPushButton::clicked, this, &te_first_start_strip::dismiss);
    setVisible(!te_read_window_prefs(prefs_path).first_start_seen);
}

void te_first_start_strip::say(bool on, const QString& how) {
    QString state = on ? tr("Expansion is on: %1.").arg(how)
                       : tr("Expansion is off now (the status line below says why); once it runs, %1.").arg(how);
    m_text->setText(state + " " + tr("Make these snippets yours: pick one in the list and change its text."));
}

void te_first_start_strip::dismiss() {
    te_window_prefs prefs = te_read_window_prefs(m_prefs_path);
    prefs.first_start_seen = true;
    QString error;
    te_keep_window_prefs(m_prefs_path, prefs, &error);
    hide();
}
