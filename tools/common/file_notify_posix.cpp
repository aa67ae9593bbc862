// Folder notifications through inotify.
#include "file_notify.h"

#include <climits>
#include <cstdlib>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

const unsigned TE_FOLDER_EVENTS = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE | IN_ATTRIB;

std::string te_folder_of(const std::string& path) {
    std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

te_file_notify::te_file_notify(const std::string& path) {
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) return;
    bool watched = inotify_add_watch(fd_, te_folder_of(path).c_str(), TE_FOLDER_EVENTS) >= 0;
    // A link's target lives in another folder, whose changes do not show
    // in the link's.
    char target[PATH_MAX];
    if (realpath(path.c_str(), target) && te_folder_of(target) != te_folder_of(path))
        inotify_add_watch(fd_, te_folder_of(target).c_str(), TE_FOLDER_EVENTS);
    if (!watched) {
        close(fd_);
        fd_ = -1;
    }
}

te_file_notify::~te_file_notify() {
    if (fd_ >= 0) close(fd_);
}

void te_file_notify::drain() {
    char events[4096];
    while (fd_ >= 0 && read(fd_, events, sizeof events) > 0) {
    }
}
