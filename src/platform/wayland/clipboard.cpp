// The clipboard's text and its change count. The text is read from the
// pipe outside the lock, since it comes from another program, within a
// bounded time; one that does not fit whole is not delivered.
#include "data_control.h"
#include "platform.h"
#include "wl_connection.h"
#include "wl_desktop.h"

#include <poll.h>
#include <unistd.h>

namespace {

// An owner that has not written its text by then has none for us.
const std::uint64_t TE_ANSWER_WAIT_MS = 1000;

int te_receive() {
    std::lock_guard<std::mutex> hold(te_wl_lock);
    te_wl* c = te_wl_connection_locked();
    if (!c || !te_wl_pump_locked(c)) return -1;
    return te_wl_selection_receive(c);
}

// Reads the pipe to its end into out[size - 1]; the length, or -1 when the
// text does not fit, the owner stays silent too long, or the read fails.
long te_read_all(int fd, char* out, long size) {
    long len = 0;
    bool too_long = false;
    std::uint64_t deadline = now_millis() + TE_ANSWER_WAIT_MS;
    for (;;) {
        std::uint64_t now = now_millis();
        if (now >= deadline) return -1;
        struct pollfd p = {fd, POLLIN, 0};
        if (poll(&p, 1, (int)(deadline - now)) <= 0) continue;
        char spill[4096];
        bool room = !too_long && len < size - 1;
        ssize_t n = room ? read(fd, out + len, (std::size_t)(size - 1 - len)) : read(fd, spill, sizeof spill);
        if (n == 0) return too_long ? -1 : len;
        if (n < 0) return -1;
        if (room) len += n;
        else too_long = true;
    }
}

}  // namespace

char* te_wl_get_clipboard_text_utf8(char* out, int size) {
    if (size <= 1) return nullptr;
    out[0] = 0;
    int fd = te_receive();
    if (fd < 0) return nullptr;
    long len = te_read_all(fd, out, size);
    close(fd);
    if (len < 0) {
        out[0] = 0;
        return nullptr;
    }
    out[len] = 0;
    return out;
}

std::uint32_t te_wl_clipboard_sequence(void) {
    std::lock_guard<std::mutex> hold(te_wl_lock);
    te_wl* c = te_wl_connection_locked();
    if (!c || !te_wl_pump_locked(c)) return 0;
    return te_wl_selection_count();
}
