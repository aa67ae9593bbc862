#include "console.h"

#include "toplevels.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

const char* te_wl_console_path = "/sys/class/tty/tty0/active";

int te_wl_console_ours(void) {
    const char* ours = std::getenv("XDG_VTNR");
    if (!ours || !ours[0]) return 1;
    int fd = open(te_wl_console_path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 1;
    char active[32] = {};
    ssize_t n = read(fd, active, sizeof active - 1);
    close(fd);
    if (n <= 0) return 1;
    active[std::strcspn(active, "\n")] = 0;
    return std::string(active) == std::string("tty") + ours;
}

int te_wl_keys_reach_session(void) { return te_wl_front_state() != 0 && te_wl_console_ours(); }
