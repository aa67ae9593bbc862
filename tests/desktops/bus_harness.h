// What the GNOME and KDE tests and benchmarks drive on their headless
// session (scripts/test-desktops.sh): the desktop under test, a native
// GTK 3 window and a terminal (foot) recording what they receive. Every
// wait here is bounded.
#ifndef TE_BUS_HARNESS_H
#define TE_BUS_HARNESS_H

#include "wl_harness.h"

#include <string>

namespace te_bus_test {

// "kde" or "gnome", from TE_TEST_DESKTOP; empty when not set.
std::string desktop();

std::string read_file(const std::string& path);
// 1 once the file at `path` holds `what`, 0 when timeout_ms passed.
bool wait_file_holds(const std::string& path, const std::string& what, int timeout_ms);

// A GTK 3 text view (GDK_BACKEND=wayland) that has the keyboard focus.
class gtk_window {
public:
    gtk_window();
    bool ready() const { return ready_; }
    std::string received() const;
    // Waits until `bytes` bytes have arrived (or the time is up), then a
    // little more for anything beyond them; returns what arrived.
    std::string wait_for(std::size_t bytes, int timeout_ms = 20000) const;
    // The view's whole text, after caret moves and deletions too.
    std::string text() const;

private:
    std::string dir_;
    te_wl_test::child view_;
    bool ready_ = false;
};

// A terminal (weston-terminal: foot 1.13 ends on a floating point
// exception on KWin's virtual outputs) whose program, in a raw terminal,
// writes all it receives to a file. Nothing tells another program when a
// terminal has the keyboard on GNOME: the constructor types a probe
// character (with type_text_utf8, again each few tenths of a second) until
// one arrives, and received() counts from after the probes.
class terminal_window {
public:
    terminal_window();
    bool ready() const { return ready_; }
    std::string received() const;
    std::string wait_for(std::size_t bytes, int timeout_ms = 20000) const;

private:
    std::string dir_;
    te_wl_test::child terminal_;
    std::size_t probes_ = 0;
    bool ready_ = false;
};

}  // namespace te_bus_test

#endif
