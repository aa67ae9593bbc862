// The snippet picker: a chord pressed anywhere (or "Insert snippet..." in
// the tray, or `velmora-manager --pick`) opens a small search window over
// the snippets; Enter closes it, gives the focus back to the program that
// was in front and types the snippet there as if its trigger had been
// typed (te_expand_in_front: that program's rules, the statistics, the
// placeholders and the caret at {cursor}). The chord works whatever the
// engine does (any mode, paused, run by another host): the picker types
// through this process's library.
//
// The window is built once and shown again at each use; the list follows
// the store file. The typing runs on a thread of its own, so this window's
// event loop can answer the library when a snippet's {clipboard} asks for
// a clipboard this program owns.
#ifndef TE_MANAGER_PICKER_H
#define TE_MANAGER_PICKER_H

#include <QObject>
#include <QString>
#include <QThread>
#include <memory>

#include "picker_search.h"
#include "picker_usage.h"

class QLocalServer;
class te_chord_grab;
class te_focus_return;
class te_picker_window;
class te_store_watcher;

class te_picker : public QObject {
    Q_OBJECT
public:
    explicit te_picker(const QString& store_path, QObject* parent = nullptr);
    ~te_picker() override;

    void open();
    // Opens the picker on this chord from now on (a chord that names a
    // key). False when it cannot be had, with the reason, which
    // chord_problem() keeps; the picker then opens from the tray alone.
    bool use_chord(const QString& chord, QString* why = nullptr);
    QString chord() const { return m_chord; }
    QString chord_problem() const { return m_problem; }
    te_picker_window* window() const { return m_window; }

    // Opens the picker when `velmora-manager --pick` asks, for this store
    // on this display. False when another manager listens already.
    bool listen();
    // --pick: asks the manager that listens for this store to open its
    // picker. False when none listens.
    static bool ask_to_open(const QString& store_path);

signals:
    void chord_changed();
    // A pick that typed nothing (a rule of that program, the focus not
    // back), and why.
    void refused(const QString& why);
    // A pick ended: 1 typed, 0 not in that program, -1 failed.
    void finished(int result);

private:
    void reload();
    void picked(const QString& trigger);
    void dismissed(bool give_back);
    void done(const QString& trigger, int result, const QString& why);

    QString m_store_path;
    te_picker_search m_search;
    te_picker_usage m_usage;
    te_picker_window* m_window;
    te_chord_grab* m_grab;
    std::unique_ptr<te_focus_return> m_focus;
    te_store_watcher* m_watcher;
    QLocalServer* m_door = nullptr;
    QThread m_thread;
    QObject* m_typist;  // lives in m_thread; its slots type
    QString m_chord;
    QString m_problem;
};

#endif
