#include "bus_harness.h"

#include "platform.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace te_bus_test {

std::string desktop() {
    const char* d = std::getenv("TE_TEST_DESKTOP");
    return d ? d : "";
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool wait_file_holds(const std::string& path, const std::string& what, int timeout_ms) {
    long long end = te_wl_test::millis() + timeout_ms;
    while (te_wl_test::millis() < end) {
        if (read_file(path).find(what) != std::string::npos) return true;
        usleep(10000);
    }
    return false;
}

// The view prints its window id once it has the focus.
gtk_window::gtk_window()
    : dir_(te_wl_test::temp_dir()),
      view_({"sh", "-c", "GDK_BACKEND=wayland NO_AT_BRIDGE=1 exec '" TE_GTK_VIEW "' '" + dir_ + "/received' > '" +
                             dir_ + "/focus'"}) {
    ready_ = wait_file_holds(dir_ + "/focus", "0x", 15000);
}

std::string gtk_window::received() const { return read_file(dir_ + "/received"); }

std::string gtk_window::text() const { return read_file(dir_ + "/received.view"); }

namespace {

// Waits until `got` holds `bytes` bytes (or the time is up), then a little
// more for anything beyond them.
template <class W>
std::string te_wait_for(const W& w, std::size_t bytes, int timeout_ms) {
    long long end = te_wl_test::millis() + timeout_ms;
    while (w.received().size() < bytes && te_wl_test::millis() < end) usleep(5000);
    usleep(150000);
    return w.received();
}

}  // namespace

std::string gtk_window::wait_for(std::size_t bytes, int timeout_ms) const {
    return te_wait_for(*this, bytes, timeout_ms);
}

namespace {

// The terminal's shell: a script that makes the file once the terminal is
// raw, then copies all it receives into it.
std::string te_shell_in(const std::string& dir) {
    std::string path = dir + "/shell";
    std::ofstream(path) << "#!/bin/sh\nstty raw -echo && exec cat > '" << dir << "/received'\n";
    chmod(path.c_str(), 0755);
    return path;
}

}  // namespace

terminal_window::terminal_window()
    : dir_(te_wl_test::temp_dir()), terminal_({"weston-terminal", "--shell=" + te_shell_in(dir_)}) {
    std::string path = dir_ + "/received";
    long long end = te_wl_test::millis() + 15000;
    while (access(path.c_str(), F_OK) != 0 && te_wl_test::millis() < end) usleep(10000);
    while (!ready_ && te_wl_test::millis() < end) {
        type_text_utf8(".", 0);
        long long probe_end = te_wl_test::millis() + 300;
        while (read_file(path).empty() && te_wl_test::millis() < probe_end) usleep(5000);
        ready_ = !read_file(path).empty();
    }
    usleep(300000);
    probes_ = read_file(path).size();
}

std::string terminal_window::received() const {
    std::string text = read_file(dir_ + "/received");
    return text.size() > probes_ ? text.substr(probes_) : "";
}

std::string terminal_window::wait_for(std::size_t bytes, int timeout_ms) const {
    return te_wait_for(*this, bytes, timeout_ms);
}

}  // namespace te_bus_test
