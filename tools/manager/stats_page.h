// The statistics page: what the engine this window runs has expanded since
// it was loaded, refreshed every second while the page is shown.
#ifndef TE_MANAGER_STATS_PAGE_H
#define TE_MANAGER_STATS_PAGE_H

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QTimer;

class te_stats_page : public QWidget {
    Q_OBJECT
public:
    explicit te_stats_page(QWidget* parent = nullptr);

    void refresh();
    // Who expands snippets: the numbers below are this window's engine's.
    void set_engine_line(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QLabel* m_engine;
    QLabel* m_expanded;
    QLabel* m_today;
    QLabel* m_trigger;
    QLabel* m_program;
    QPlainTextEdit* m_text;
    QTimer* m_timer;
};

#endif
