// What the X11 tests and benchmarks drive: child processes (the project's
// text window, xclip, xdotool, the clipboard owner helper) and a few direct
// looks at the X server. Every wait here is bounded.
#ifndef TE_X11_HARNESS_H
#define TE_X11_HARNESS_H

#include <X11/Xlib.h>
#include <X11/extensions/XInput.h>
#include <string>
#include <sys/types.h>
#include <vector>

namespace te_test {

// A child process, ended with SIGTERM (then SIGKILL) when destroyed.
class child {
public:
    // Starts argv; with capture, the child's stdout is readable by line.
    child(const std::vector<std::string>& argv, bool capture = false);
    ~child();
    child(const child&) = delete;
    child& operator=(const child&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    // One line of the child's stdout, "" when none came within timeout_ms.
    std::string read_line(int timeout_ms);
    // What is there to read within timeout_ms, "" at the end of the output.
    std::string read_all(int timeout_ms);
    void stop();

private:
    pid_t pid_ = -1;
    int out_fd_ = -1;
};

// Runs argv to its end; its exit status, or -1 when it could not run or
// took longer than timeout_ms.
int run(const std::vector<std::string>& argv, int timeout_ms = 10000);

// Runs argv to its end and returns what it wrote on stdout.
std::string output_of(const std::vector<std::string>& argv);

// The project's text window, with the file it records to.
class text_window {
public:
    // With `extra` after its arguments (e.g. "--late-pings", "2500").
    explicit text_window(const std::vector<std::string>& extra = std::vector<std::string>());
    // Another recording window program taking the same arguments
    // (OUTPUT_FILE TITLE, then `extra`) and printing its window id once it
    // has the focus.
    explicit text_window(const std::string& program, const std::vector<std::string>& extra = {});
    bool ready() const { return window_ != 0; }
    Window window() const { return window_; }
    pid_t pid() const { return proc_.pid(); }
    // Everything the window has recorded so far.
    std::string received() const;
    // The file it records into (te-gtk-view keeps its whole text beside it).
    const std::string& output_path() const { return path_; }
    // Waits until at least `bytes` bytes have arrived and nothing more came
    // for a short while; returns what arrived.
    std::string wait_for(size_t bytes, int timeout_ms = 20000) const;

private:
    std::string path_;
    child proc_;
    Window window_ = 0;
};

// A connection of the test's own.
Display* display();

// The server's own keyboard device ("Xvfb keyboard"), pressed through
// XTest as a person's keyboard would be: it is not an XTest device, so
// keys mode takes its keys for the user's own. On the test's connection.
class keyboard {
public:
    keyboard();
    ~keyboard();
    keyboard(const keyboard&) = delete;
    keyboard& operator=(const keyboard&) = delete;
    bool ready() const { return dev_ != nullptr; }
    // Presses or lets go of the key named as for XStringToKeysym ("w",
    // "space", "Return"), or of the key that types an ASCII character;
    // with Shift when the character is on the key's second level.
    void key(const std::string& name, bool down);
    // A press and a release per ASCII character, delay_ms after each.
    void type(const std::string& text, int delay_ms);
    // Whether a client has grabbed it (the server floats a grabbed device,
    // detached from the core keyboard, for the grab's length).
    bool grabbed() const;

private:
    int id_ = 0;
    XDevice* dev_ = nullptr;
};

// A click of the first button on the server's own pointer device ("Xvfb
// mouse"), not an XTest device: as a person's hand on the mouse.
void click();

// The whole core keyboard mapping, for before/after comparisons.
std::vector<KeySym> keyboard_mapping();
void set_focus(Window w);
// Sets (or, with 0, removes) _NET_ACTIVE_WINDOW on the root window.
void set_active_window(Window w);
// The window that owns CLIPBOARD now, None when none does.
Window clipboard_owner();
// Waits until CLIPBOARD has an owner other than `previous`; false when none
// appeared in time.
bool wait_clipboard_owner(Window previous = None, int timeout_ms = 5000);
// Gives the CLIPBOARD selection up (our connection takes it, then exits it).
void clear_clipboard();

// A text file of the given content in a fresh temporary folder.
std::string temp_file(const std::string& content);
std::string read_file(const std::string& path);

// `count` characters drawn in a fixed order from ASCII, accented Latin,
// Greek, Cyrillic, CJK and emoji, with a line break now and then.
std::string mixed_text(size_t count, unsigned seed = 1);

// Milliseconds on the monotonic clock.
long long millis();

}  // namespace te_test

#endif
