#include "receivers.h"

#include "utf8_codec.h"
#include "x11_harness.h"

#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace te_test {

namespace {

// How long what arrived must stay unchanged to count as all there is: a
// browser may stall for seconds, the first time it shows a script (fonts).
const int TE_QUIET_MS = 5000;

// Polls `look` (what arrived so far) until `done` holds for it, or it has
// not changed for TE_QUIET_MS, or the time is up; returns the last look.
template <typename Look, typename Done>
std::string te_wait_settled(Look look, Done done, int timeout_ms) {
    long long end = millis() + timeout_ms, changed = millis();
    std::string last = look();
    while (!done(last) && millis() < end && millis() - changed < TE_QUIET_MS) {
        usleep(20000);
        std::string now = look();
        if (now != last) changed = millis();
        last = now;
    }
    return last;
}

void te_press_escape() {
    Display* dpy = display();
    KeyCode esc = XKeysymToKeycode(dpy, XK_Escape);
    XTestFakeKeyEvent(dpy, esc, True, CurrentTime);
    XTestFakeKeyEvent(dpy, esc, False, CurrentTime);
    XSync(dpy, False);
}

// A program that appends what it receives to a file: one of the project's
// text windows, or xterm with `cat` behind it, where Return arrives as a
// carriage return.
class file_receiver : public receiver {
public:
    // With escape_clears, begin() presses Escape to empty the view.
    file_receiver(std::unique_ptr<text_window> view, bool escape_clears)
        : view_(std::move(view)), escape_clears_(escape_clears) {}
    file_receiver(Window w, std::string path, std::unique_ptr<child> proc)
        : proc_(std::move(proc)), path_(std::move(path)), window_(w), return_is_cr_(true) {}

    bool ready() const override { return window() != 0; }
    Window window() const override { return view_ ? view_->window() : window_; }
    bool begin() override {
        if (escape_clears_) te_press_escape();
        from_ = received().size();
        return true;
    }
    bool arrived(const std::string& text, int timeout_ms, std::string* seen) override {
        std::string want = text;
        if (return_is_cr_)
            for (char& c : want)
                if (c == '\n') c = '\r';
        size_t end = from_ + want.size();
        te_wait_settled([&] { return received(); }, [&](const std::string& s) { return s.size() >= end; },
                        timeout_ms);
        usleep(100000);  // anything more that was on its way
        std::string all = received();
        std::string got = all.substr(std::min(from_, all.size()));
        *seen = std::to_string(got.size()) + " of " + std::to_string(want.size()) + " bytes arrived";
        return got == want;
    }

private:
    std::string received() const { return view_ ? view_->received() : read_file(path_); }

    std::unique_ptr<text_window> view_;
    std::unique_ptr<child> proc_;
    std::string path_;
    Window window_ = 0;
    bool return_is_cr_ = false;
    bool escape_clears_ = false;
    size_t from_ = 0;
};

// xterm running `cat` in raw mode into a file; the shell inside writes the
// window id xterm gives it to a second file.
std::unique_ptr<receiver> te_start_xterm() {
    std::string out = temp_file(""), id_file = temp_file("");
    std::string script = "printf '0x%x\\n' \"$WINDOWID\" > '" + id_file + "'; stty raw -echo; exec cat > '" + out + "'";
    auto proc = std::make_unique<child>(std::vector<std::string>{"xterm", "-u8", "-e", "sh", "-c", script});
    Window w = 0;
    for (long long end = millis() + 10000; !w && millis() < end; usleep(20000))
        w = (Window)std::strtoul(read_file(id_file).c_str(), nullptr, 16);
    if (w) {
        usleep(300000);  // the shell reaches cat
        set_focus(w);
    }
    return std::make_unique<file_receiver>(w, out, std::move(proc));
}

// What typing_page.html reports for a text: "CHARACTERS HASH".
std::string te_page_report(const std::string& text) {
    std::uint32_t hash = 0x811c9dc5u;
    std::vector<std::uint32_t> cps = te_utf8_decode(text.c_str());
    for (std::uint32_t cp : cps) hash = (hash ^ cp) * 0x01000193u;
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08x", hash);
    return std::to_string(cps.size()) + " " + hex;
}

std::string te_window_title(Window w) {
    Display* dpy = display();
    Atom type = None;
    int format = 0;
    unsigned long n = 0, left = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(dpy, w, XInternAtom(dpy, "_NET_WM_NAME", False), 0, 1024, False,
                           XInternAtom(dpy, "UTF8_STRING", False), &type, &format, &n, &left, &data) == Success &&
        data) {
        title.assign(reinterpret_cast<char*>(data), n);
        XFree(data);
    }
    return title;
}

// The page's report in a window title: "te-page CHARACTERS HASH CLEARS"
// (Firefox adds its own name after it).
bool te_parse_page_title(const std::string& title, std::string* report, int* clears) {
    size_t at = title.find("te-page ");
    if (at == std::string::npos) return false;
    unsigned long count = 0;
    char hash[9] = {0};
    if (std::sscanf(title.c_str() + at, "te-page %lu %8s %d", &count, hash, clears) != 3) return false;
    *report = std::to_string(count) + " " + hash;
    return true;
}

int te_ignore_x_error(Display*, XErrorEvent*) { return 0; }

// The top-level window showing the page. A starting browser makes and
// destroys windows while they are looked at: errors about windows gone are
// ignored meanwhile.
Window te_find_page_window(int timeout_ms) {
    Display* dpy = display();
    XErrorHandler before = XSetErrorHandler(te_ignore_x_error);
    Window found = 0;
    for (long long end = millis() + timeout_ms; !found && millis() < end; usleep(100000)) {
        Window root = 0, parent = 0, *kids = nullptr;
        unsigned n = 0;
        if (!XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &kids, &n)) continue;
        std::string report;
        int clears = 0;
        for (unsigned i = 0; i < n && !found; i++)
            if (te_parse_page_title(te_window_title(kids[i]), &report, &clears)) found = kids[i];
        if (kids) XFree(kids);
    }
    XSync(dpy, False);
    XSetErrorHandler(before);
    return found;
}

// Firefox's first start asks nothing and reports nothing home.
void te_write_firefox_prefs(const std::string& profile) {
    std::ofstream(profile + "/user.js") << "user_pref(\"browser.shell.checkDefaultBrowser\", false);\n"
                                           "user_pref(\"browser.startup.homepage_override.mstone\", \"ignore\");\n"
                                           "user_pref(\"browser.aboutwelcome.enabled\", false);\n"
                                           "user_pref(\"datareporting.policy.dataSubmissionEnabled\", false);\n"
                                           "user_pref(\"toolkit.telemetry.reportingpolicy.firstRun\", false);\n"
                                           "user_pref(\"app.update.disabledForTesting\", true);\n";
}

std::vector<std::string> te_browser_argv(const std::string& name, const std::string& profile) {
    std::string page = std::string("file://") + TE_TYPING_PAGE_PATH;
    if (name == "firefox") {
        te_write_firefox_prefs(profile);
        return {"firefox-esr", "--no-remote", "--profile", profile, "--kiosk", page};
    }
    std::vector<std::string> argv = {"chromium", "--no-first-run", "--no-default-browser-check",
                                     "--disable-background-networking", "--disable-component-update",
                                     "--disable-sync", "--disable-gpu", "--user-data-dir=" + profile,
                                     "--app=" + page};
    if (geteuid() == 0) argv.insert(argv.begin() + 1, "--no-sandbox");  // Chromium refuses root without it
    return argv;
}

class browser_receiver : public receiver {
public:
    explicit browser_receiver(const std::string& name) {
        std::string folder = temp_file("");
        profile_ = folder.substr(0, folder.rfind('/'));
        proc_ = std::make_unique<child>(te_browser_argv(name, profile_));
        window_ = te_find_page_window(60000);
        if (window_) set_focus(window_);
    }
    ~browser_receiver() override {
        proc_.reset();
        run({"rm", "-rf", profile_});
    }

    bool ready() const override { return window_ != 0; }
    Window window() const override { return window_; }

    // Escape empties the text area; a change in its count of clears shows
    // that keys reach it. Pressed again while nothing shows.
    bool begin() override {
        std::string report;
        int before = -1, clears = -1;
        te_parse_page_title(te_window_title(window_), &report, &before);
        for (long long end = millis() + 30000; millis() < end;) {
            te_press_escape();
            for (long long next = millis() + 1000; millis() < next; usleep(20000)) {
                if (te_parse_page_title(te_window_title(window_), &report, &clears) && clears > before &&
                    report == te_page_report(""))
                    return true;
            }
        }
        return false;
    }

    bool arrived(const std::string& text, int timeout_ms, std::string* seen) override {
        std::string want = te_page_report(text);
        auto look = [&] {
            std::string report;
            int clears = 0;
            te_parse_page_title(te_window_title(window_), &report, &clears);
            return report;
        };
        *seen = te_wait_settled(look, [&](const std::string& r) { return r == want; }, timeout_ms);
        bool whole = *seen == want;
        *seen = "page reports \"" + *seen + "\", whole would be \"" + want + "\"";
        return whole;
    }

private:
    std::string profile_;
    std::unique_ptr<child> proc_;
    Window window_ = 0;
};

std::unique_ptr<receiver> te_start_view(const std::string& program, bool escape_clears) {
    auto r = std::make_unique<file_receiver>(std::make_unique<text_window>(program), escape_clears);
    if (r->ready()) set_focus(r->window());
    return r;
}

}  // namespace

std::unique_ptr<receiver> start_receiver(const std::string& name) {
    if (name == "gtk") return te_start_view(TE_GTK_VIEW_PATH, true);
    if (name == "qt") return te_start_view(TE_QT_VIEW_PATH, true);
    if (name == "xterm") return te_start_xterm();
    return std::make_unique<browser_receiver>(name);
}

std::string cjk_text(size_t count, unsigned distinct, unsigned seed) {
    std::string out;
    unsigned x = seed;
    for (size_t i = 0; i < count; i++) {
        x = x * 1103515245u + 12345u;
        te_utf8_append(out, 0x4E00 + (x >> 8) % distinct);
    }
    return out;
}

}  // namespace te_test
