// A chord pressed anywhere on the desktop, for the snippet picker. Each
// desktop offers its own way: on X11 a passive grab of the chord's key on
// the root window, through the window's own X connection (the chord then
// reaches no other program, and one that holds it already is told apart).
// Where no program may watch keys (a Wayland compositor keeps them to
// itself) the grab refuses and says what the user can do instead.
#ifndef TE_MANAGER_CHORD_GRAB_H
#define TE_MANAGER_CHORD_GRAB_H

#include <QObject>
#include <QString>

struct te_chord;

class te_chord_grab : public QObject {
    Q_OBJECT
public:
    // The grab of the desktop this process shows its windows on.
    static te_chord_grab* make(QObject* parent);

    using QObject::QObject;
    // Grabs `chord` in place of the chord grabbed before. False with the
    // reason ("taken by another program", "this desktop ..."): nothing is
    // grabbed then.
    virtual bool grab(const te_chord& chord, QString* why) = 0;
    virtual void release() = 0;

signals:
    // The chord went down (not its key's repeats).
    void pressed();
};

// The grab of a desktop where no program may watch keys: it refuses with
// `why`.
class te_refusing_grab : public te_chord_grab {
    Q_OBJECT
public:
    te_refusing_grab(const QString& why, QObject* parent) : te_chord_grab(parent), m_why(why) {}
    bool grab(const te_chord&, QString* why) override {
        *why = m_why;
        return false;
    }
    void release() override {}

private:
    QString m_why;
};

#endif
