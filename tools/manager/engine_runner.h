// Runs the engine in this window's process, as the one background instance
// for this user and display. At start the window takes the instance lock
// and starts the engine (te_start); Pause stops it (te_stop) and Resume
// starts it again, the lock kept all along. When another host (`te run`)
// holds the lock, the window only edits the store and says so; it can ask
// that host to stop and then runs the engine itself, and it does so on its
// own once that host has gone.
//
// The engine runs in the chosen mode (mode_choice.h). When that mode
// cannot start (the desktop cannot watch the keyboard, a chord that names
// no key), the clipboard mode runs instead and the window says why, with
// the engine's own message. While the store cannot be read the engine is
// not started: it would expand the seed snippets held in its place.
#ifndef TE_MANAGER_ENGINE_RUNNER_H
#define TE_MANAGER_ENGINE_RUNNER_H

#include <QObject>
#include <QString>

#include "expansion_settings.h"
#include "instance.h"
#include "mode_choice.h"

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
    // Runs the engine in `choice` from now on: at once when it runs.
    void set_choice(const te_mode_choice& choice);
    const te_mode_choice& choice() const { return m_choice; }
    // The settings for all snippets from now on: at once when it runs.
    void set_settings(const te_expansion_settings& settings);
    const te_expansion_settings& settings() const { return m_settings; }
    // Watch keys other programs type too (on-screen keyboards, tests that
    // type through XTest); off unless set before begin().
    void set_synthetic_keys(bool on) { m_synthetic_keys = on; }
    // The signal that has refresh() run (quit_signals.h), named in the
    // published status; set before begin(). Without one the count is
    // looked for every few seconds while the engine runs here.
    void set_refresh_signal(const QString& name) { m_refresh_signal = name; }
    // Publishes the status with the count as it is now.
    void refresh();

    te_state state() const { return m_state; }
    // The mode the engine runs (or ran before a pause) in.
    const QString& mode() const { return m_mode; }
    // One line for the window: what expands snippets, in which mode, and
    // since when.
    QString describe() const;
    // While the clipboard mode runs in place of the chosen one: which, and
    // the reason (the engine's message). Empty otherwise.
    QString fallback_note() const;

signals:
    void state_changed();

private:
    void set_state(te_state state);
    // Starts the engine again with the choice and settings now made.
    void restart();
    bool start_engine();
    bool start_in(const QString& mode);
    void publish();
    void tick();
    void follow_timer();

    std::string m_store;
    QString m_desktop;  // the desktop the engine serves, as main settled it (TE_DESKTOP)
    te_instance_lock m_lock;
    te_instance_info m_other;      // the holder, while TE_ELSEWHERE
    te_instance_info m_published;  // what this window last published
    long long m_started = 0;
    te_state m_state = TE_IDLE;
    QString m_error;
    te_mode_choice m_choice;
    te_expansion_settings m_settings;
    QString m_mode;      // the mode the engine runs (or ran before a pause) in
    QString m_fallback;  // why it is not the chosen one ("" when it is)
    bool m_synthetic_keys = false;
    QString m_refresh_signal;
    // Notices the other host leave; publishes a new count where no signal
    // asks for it. Stopped otherwise: an idle window sleeps.
    QTimer* m_timer;
};

#endif
