// Files readable by their user alone, on POSIX systems.
#include "private_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool te_fail(const std::string& path, int err, std::string* error) {
    if (error) *error = path + ": " + std::strerror(err);
    return false;
}

}  // namespace

bool te_write_private(const std::string& path, const std::string& text, std::string* error) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return te_fail(path, errno, error);
    fchmod(fd, 0600);  // the umask may have taken bits away; never adds any
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += (std::size_t)n;
    }
    int err = done == text.size() ? 0 : errno ? errno : EIO;
    if (close(fd) != 0 && err == 0) err = errno;
    return err == 0 ? true : te_fail(path, err, error);
}
