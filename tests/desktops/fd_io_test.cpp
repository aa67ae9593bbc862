// Writing the clipboard's content into a pipe whose reader has gone: a
// program that asked for it and then closed its end raised SIGPIPE in
// the host, which ended it (te run, the manager window).
#include <gtest/gtest.h>

#include "fd_io.h"

#include <csignal>
#include <unistd.h>

TEST(FdIo, WritingToAReaderThatHasGoneFailsAndTheProcessGoesOn) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]);
    EXPECT_EQ(te_fd_write_all(fds[1], "clipboard text", 100), 0);
    close(fds[1]);
    sigset_t pending;
    sigpending(&pending);
    EXPECT_EQ(sigismember(&pending, SIGPIPE), 0) << "a SIGPIPE is left waiting for the thread";
}
