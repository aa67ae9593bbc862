// Programs the typing tests and benchmarks type into, each with a way to
// read back what it received: the project's GTK 3 and Qt 6 text views
// record it to a file, xterm hands it to a `cat` writing a file, and
// browsers show typing_page.html, whose window title reports what its text
// area holds.
#ifndef TE_X11_RECEIVERS_H
#define TE_X11_RECEIVERS_H

#include <X11/Xlib.h>
#include <memory>
#include <string>

namespace te_test {

class receiver {
public:
    virtual ~receiver() = default;
    // Whether the program started and shows its window; it has the input
    // focus then.
    virtual bool ready() const = 0;
    virtual Window window() const = 0;
    // Starts afresh: only what arrives from now on counts. False when the
    // program did not show in time that it takes keys.
    virtual bool begin() = 0;
    // Waits until `text` has arrived since begin(), or until nothing more
    // arrives for a while; true when exactly `text` arrived. *seen tells
    // what arrived.
    virtual bool arrived(const std::string& text, int timeout_ms, std::string* seen) = 0;
};

// Starts one of "gtk", "qt", "xterm", "chromium", "firefox"
// (browsers on a private profile, removed when the receiver goes) and gives
// it the input focus; check ready().
std::unique_ptr<receiver> start_receiver(const std::string& name);

// `count` CJK characters of `distinct` kinds, in an order that keeps
// bringing back characters of earlier rounds of spare keycodes.
std::string cjk_text(size_t count, unsigned distinct, unsigned seed = 11);

}  // namespace te_test

#endif
