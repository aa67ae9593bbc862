// Reading and writing a pipe whose other end is another program (a
// clipboard owner, a program pasting), within a bounded time.
#ifndef TE_PASTE_FD_IO_H
#define TE_PASTE_FD_IO_H

#include <cstddef>
#include <string>

// Reads `fd` to its end into *out. 0 when the other end stays silent for
// wait_ms, the read fails, or more than `cap` bytes come.
int te_fd_read_all(int fd, std::string* out, int wait_ms, std::size_t cap);

// Writes all of `data` into `fd`. 0 when the reader takes none of it for
// wait_ms, or goes away (which raises no SIGPIPE in the process).
int te_fd_write_all(int fd, const std::string& data, int wait_ms);

#endif
