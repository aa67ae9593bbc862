// Kills a process that changes snippets as fast as it can with SIGKILL at
// random moments, over and over against one store file. After every kill
// the file must hold exactly the table of the last change that returned 1,
// or of the change after it: never a third state, an empty or half-written
// file, or a table that lacks a change already reported done. The test
// replays each killed run's change script in this process to know those
// two tables.
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "change_script.h"
#include "engine.h"
#include "store.h"
#include "test_support.h"
#include "textexpander.h"

using namespace te_test;

namespace {

int kill_count() {
    const char* s = std::getenv("TE_CRASH_KILLS");
    return s && std::atoi(s) > 0 ? std::atoi(s) : 1000;
}

// Starts the churn process for `seed` with APPDATA at `appdata`; its
// standard output is the returned read end.
pid_t spawn_churn(std::uint64_t seed, const std::string& appdata, int* read_end) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        close(fds[1]);
        setenv("APPDATA", appdata.c_str(), 1);
        std::string arg = std::to_string(seed);
        execl(TE_STORE_CHURN_PATH, TE_STORE_CHURN_PATH, arg.c_str(), (char*)nullptr);
        _exit(127);
    }
    close(fds[1]);
    *read_end = fds[0];
    return pid;
}

// The step of the last acknowledgement on the pipe (0 for none), read to
// its end.
std::uint32_t last_acknowledged(int fd) {
    std::uint32_t last = 0, step;
    std::string pending;
    char buf[4096];
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0) pending.append(buf, (std::size_t)n);
    close(fd);
    for (std::size_t i = 0; i + sizeof step <= pending.size(); i += sizeof step) {
        std::memcpy(&step, pending.data() + i, sizeof step);
        last = step;
    }
    return last;
}

// Loads the table the killed process started from, as its first use did,
// and keeps it in memory only from then on.
void load_table_from(const std::string& store) {
    te_engine_guard g(te_engine_lock);
    std::strcpy(E.store_path, store.c_str());
    E.snippet_count = 0;
    store_read_into();
    E.store_path[0] = 0;
}

// The two tables the file may hold after a kill: after step `acked` (or
// the file as it was, for none) and after the next change that returns 1.
struct allowed_states {
    std::string done, next;
};

allowed_states replay(std::uint64_t seed, std::uint32_t acked, const std::string& start_copy,
                      const std::string& file_before) {
    load_table_from(start_copy);
    change_script script(seed);
    for (std::uint32_t step = 1; step <= acked; step++) script.apply_next();
    allowed_states s;
    s.done = acked ? te_snippets_json() : file_before;
    for (int tries = 0; tries < 1000 && !script.apply_next(); tries++) {
    }
    s.next = te_snippets_json();
    return s;
}

}  // namespace

TEST(StoreCrash, KilledWritersLoseNoChange) {
    te_snippet_count();  // this process's own first use, before any replay
    scoped_dir appdata("crash-store"), replay_dir("crash-replay");
    const std::string store = appdata.path() + "/Wrenfold/snippets.json";
    const std::string start_copy = replay_dir.path() + "/start.json";
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> delay_us(0, 40000);
    int kills = 0, losses = 0, at_done = 0, at_next = 0, no_change = 0;
    for (int k = 0; k < kill_count(); k++) {
        std::string before = read_file(store);
        write_file(start_copy, before);  // empty when there is no store yet: the seeds
        int fd = -1;
        pid_t pid = spawn_churn((std::uint64_t)k + 1, appdata.path(), &fd);
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delay_us(rng)));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the churn process ended by itself, status " << status;
        kills++;
        std::uint32_t acked = last_acknowledged(fd);
        std::string now = read_file(store);
        allowed_states s = replay((std::uint64_t)k + 1, acked, start_copy, before);
        if (acked == 0) no_change++;
        if (now == s.done) {
            at_done++;
        } else if (now == s.next) {
            at_next++;
        } else {
            losses++;
            ADD_FAILURE() << "kill " << k << " after step " << acked << ": the file holds a third state ("
                          << now.size() << " bytes)";
        }
    }
    std::printf("kills: %d, losses: %d (file at the last acknowledged change: %d, at the one after: %d; "
                "killed before any acknowledgement: %d)\n",
                kills, losses, at_done, at_next, no_change);
    EXPECT_EQ(losses, 0);
}
