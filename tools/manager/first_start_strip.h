// The strip across the top of the window at the first start: whether
// expansion is on and how to try it ("Expansion is on: type >>email in any
// window. Make these snippets yours."), until the user dismisses it, for
// good (manager.json, window_prefs.h).
#ifndef TE_MANAGER_FIRST_START_STRIP_H
#define TE_MANAGER_FIRST_START_STRIP_H

#include <QFrame>

class QLabel;

class te_first_start_strip : public QFrame {
    Q_OBJECT
public:
    // Hidden from the start once dismissed; `prefs_path` is manager.json.
    te_first_start_strip(const QString& prefs_path, QWidget* parent = nullptr);

    // What it says: `how` is what expands `example` ("type %1 in any
    // window"), `on` whether the engine expands here now.
    void say(bool on, const QString& how);

private:
    void dismiss();

    QString m_prefs_path;
    QLabel* m_text;
};

#endif
