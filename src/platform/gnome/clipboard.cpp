// The clipboard on GNOME, through the remote desktop session: the formats
// come with each change of owner, the content is read from a pipe Mutter
// fills from the owner, outside the lock and within a bounded time.
#include "clipboard_read.h"
#include "fd_io.h"
#include "gnome_desktop.h"
#include "platform.h"
#include "remote_desktop.h"
#include "session_bus.h"

#include <cstring>
#include <unistd.h>

namespace {

const int TE_ANSWER_WAIT_MS = 1000;

// With te_bus_lock held: the best text format the clipboard offers, or
// null.
const char* te_text_type() {
    bool known = false;
    std::vector<std::string> types = te_gnome_selection_types(&known);
    for (const char* want : te_clip_text_types)
        for (const std::string& t : types)
            if (t == want) return want;
    return nullptr;
}

// A read refused only while an earlier one is finishing is tried again
// for this long.
const std::uint64_t TE_READ_BUSY_MS = 500;
const int TE_READ_RETRY_US = 2000;

// One try: -1 with *busy set when Mutter refused it (a type of null: the
// best text format).
int te_try_open(const char* type, bool* busy) {
    std::lock_guard<std::mutex> hold(te_bus_lock);
    *busy = false;
    sd_bus* bus = te_bus_locked();
    std::string session = bus ? te_gnome_session(bus, nullptr) : "";
    if (session.empty() || !te_bus_process_locked(bus)) return -1;
    if (!type) type = te_text_type();
    if (!type) return -1;
    int fd = te_gnome_selection_read(bus, session, type);
    *busy = fd < 0;
    return fd;
}

}  // namespace

int te_gnome_open_clipboard(const char* type) {
    std::uint64_t end = now_millis() + TE_READ_BUSY_MS;
    for (;;) {
        bool busy = false;
        int fd = te_try_open(type, &busy);
        if (fd >= 0 || !busy || now_millis() >= end) return fd;
        usleep(TE_READ_RETRY_US);
    }
}

char* te_gnome_get_clipboard_text_utf8(char* out, int size) {
    if (size <= 1) return nullptr;
    out[0] = 0;
    int fd = te_gnome_open_clipboard(nullptr);
    if (fd < 0) return nullptr;
    std::string text;
    int ok = te_fd_read_all(fd, &text, TE_ANSWER_WAIT_MS, (std::size_t)size - 1);
    close(fd);
    if (!ok || std::memchr(text.data(), 0, text.size())) return nullptr;
    std::memcpy(out, text.c_str(), text.size() + 1);
    return out;
}

std::uint32_t te_gnome_clipboard_sequence(void) {
    std::lock_guard<std::mutex> hold(te_bus_lock);
    sd_bus* bus = te_bus_locked();
    if (!bus || te_gnome_session(bus, nullptr).empty() || !te_bus_process_locked(bus)) return 0;
    return te_gnome_selection_count();
}

// Plain Mutter tells other programs nothing of its windows, and GNOME
// Shell only in its unsafe mode: the program in front is unknown.
const char* te_gnome_foreground_process_name(char* out, int size) {
    if (size > 0) out[0] = 0;
    return nullptr;
}

// Nor whether a window of this process is in front.
int te_gnome_foreground_is_this_process(void) { return 0; }
