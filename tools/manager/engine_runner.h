// Runs the engine in this window's process, as the one background instance
// for this user and display. At start the window takes the instance lock
// and starts the engine (te_start); Pause stops it (te_stop) and Resume
// starts it again, the lock kept all along. When another host (`te run`)
// holds the lock, the window only edits the store and says so; it can ask
// that host to stop and then runs the engine itself, and it does so on its
// own once that host has gone.
#ifndef TE_MANAGER_ENGINE_RUNNER_H
#define TE_MANAGER_ENGINE_RUNNER_H

#include <QObject>
#include <QString>

#include "instance.h"

class QTimer;

class te_engine_runner : public QObject {
    Q_OBJECT
public:
    enum te_state { TE_IDLE, TE_RUNNING, TE_PAUSED, TE_ELSEWHERE, TE_FAILED };

    explicit te_engine_runner(const QString& store_path, QObject* parent = nullptr);
    ~te_engine_runner() override;

    // Runs the engine here unless another host holds the lock.
    void begin();
    void pause();
    void resume();
    // Stops the host that holds the lock, then runs the engine here. False
    // with the reason when it would not stop.
    bool take_over(QString* error);
    // Stops the engine and lets the lock go.
    void end();

    te_state state() const { return m_state; }
    // One line for the window: what expands snippets, and since when.
    QString describe() const;

signals:
    void state_changed();

private:
    void set_state(te_state state);
    bool start_engine();
    void publish();
    void tick();

    std::string m_store;
    te_instance_lock m_lock;
    te_instance_info m_other;      // the holder, while TE_ELSEWHERE
    te_instance_info m_published;  // what this window last published
    long long m_started = 0;
    te_state m_state = TE_IDLE;
    QString m_error;
    QTimer* m_timer;  // publishes a new count; notices the other host leave
};

#endif
