// The program the user was in before the picker opened gets the focus back
// when it closes, so the snippet is typed there. Each desktop has its way:
//   - X11: the window in front is remembered before the picker shows (the
//     window manager's active window where one runs, else the input
//     focus) and is given the focus again: through the window manager's
//     active-window request where there is one (a window manager keeps
//     its own idea of the focus and would undo any other way), else set
//     directly.
//   - Wayland: no program may move the focus; the compositor gives it to
//     the window that had it once the picker's window is gone. Giving back
//     is waiting for the picker's window to lose the keyboard.
#ifndef TE_MANAGER_FOCUS_RETURN_H
#define TE_MANAGER_FOCUS_RETURN_H

#include <memory>

class te_focus_return {
public:
    // The way of the desktop this process shows its windows on.
    static std::unique_ptr<te_focus_return> make();
    virtual ~te_focus_return() = default;

    // Before the picker shows: remembers the window in front.
    virtual void remember() = 0;
    // After the picker hid: asks that the remembered window have the focus.
    virtual void give_back() = 0;
    // Any thread: waits at most `ms` until the remembered window has the
    // focus. False when it has not got it by then (nothing may be typed:
    // the keys would go elsewhere).
    virtual bool wait_back(int ms) = 0;
};

#endif
