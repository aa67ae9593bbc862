// The store under faults and beside other processes. Faults are put under
// the store through its file calls table: each must leave the user's file
// whole on disk and give the documented result and message.
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "fake_desktop.h"
#include "files_seam.h"
#include "test_support.h"
#include "textexpander.h"
#include "yyjson.h"

using namespace te_test;

namespace {

// One fault put under the store, and what the store must make of it.
struct fault_case {
    const char* name;
    const char* start;    // the store file before first use (null: two of the user's snippets)
    int open_error;       // every open for reading fails with this errno (0: none)
    int vanish_at;        // the file is removed just before this open for reading
    const char* failing;  // "lock", "write", "commit", "replace" or "sync": that step fails
    int result;
    const char* message;  // $S: the store's path, $T: its first temporary file
    bool file_is_new;     // else the file is as it was
};
fault_case g_fault;
int g_opens;

bool failing(const char* call) { return g_fault.failing && std::string(g_fault.failing) == call; }

FILE* faulty_open_read(const char* path, te_open_status* status, te_file_stamp* stamp) {
    if (++g_opens == g_fault.vanish_at) unlink(path);
    if (!g_fault.open_error) return te_files_system().open_read(path, status, stamp);
    *status = te_open_status_of(g_fault.open_error);
    return nullptr;
}

// A temporary file whose writes stop after 10 bytes: a full disk.
FILE* faulty_create_temp(const char* target, char* name, int size) {
    FILE* f = te_files_system().create_temp(target, name, size);
    if (!f || !failing("write")) return f;
    std::fclose(f);
    static char room[10];
    return fmemopen(room, sizeof room, "wb");
}

int faulty_commit_close(FILE* f, te_file_stamp* stamp) {
    if (!failing("commit")) return te_files_system().commit_close(f, stamp);
    std::fclose(f);
    return -1;
}
int faulty_replace(const char* from, const char* to) {
    return failing("replace") ? -1 : te_files_system().replace(from, to);
}
int faulty_sync_folder(const char* path) { return failing("sync") ? -1 : te_files_system().sync_folder(path); }
// A folder in the lock file's place.
te_lock_status faulty_lock(const char* path, int wait_ms, te_file_lock* out) {
    if (!failing("lock")) return te_files_system().lock(path, wait_ms, out);
    errno = EISDIR;
    return TE_LOCK_UNAVAILABLE;
}

const std::string kUserStore = "{\"snippets\":[" + snippet("mine", "1") + "," + snippet("also", "2") + "]}";

void PrintTo(const fault_case& c, std::ostream* os) { *os << c.name; }

std::string expand(std::string s) {
    for (std::size_t at; (at = s.find("$T")) != std::string::npos;) s.replace(at, 2, temp_path(store_path(), 1));
    for (std::size_t at; (at = s.find("$S")) != std::string::npos;) s.replace(at, 2, store_path());
    return s;
}

class StoreFault : public testing::TestWithParam<fault_case> {};

TEST_P(StoreFault, LeavesTheFileWholeAndSaysSo) {
    const fault_case& c = GetParam();
    umask(0);  // the store is the user's alone all the same
    std::string start = c.start ? c.start : kUserStore;
    write_file(store_path(), start);
    te_file_calls calls = te_files_system();
    calls.open_read = faulty_open_read;
    calls.create_temp = faulty_create_temp;
    calls.commit_close = faulty_commit_close;
    calls.replace = faulty_replace;
    calls.sync_folder = faulty_sync_folder;
    calls.lock = faulty_lock;
    te_files_swap(&calls);
    g_fault = c;
    EXPECT_EQ(te_snippet_add(snippet("new", "n").c_str()), c.result);
    EXPECT_EQ(std::string(te_last_error()), expand(c.message));
    EXPECT_EQ(read_file(store_path()), c.file_is_new ? std::string(te_snippets_json()) : start);
    EXPECT_EQ(file_exists(temp_path(store_path(), 1)), failing("replace")) << "kept only when its rename failed";
    g_fault = fault_case{};
    EXPECT_EQ(te_snippet_add(snippet("next").c_str()), 1) << te_last_error();
    struct stat st;
    EXPECT_TRUE(stat(store_path().c_str(), &st) == 0 && (st.st_mode & 0777) == 0600);
    te_files_swap(nullptr);
}

const char* kRefused = "cannot read $S: changes are refused until it can be read";

INSTANTIATE_TEST_SUITE_P(
    Files, StoreFault,
    testing::Values(fault_case{"OpenNotFound", nullptr, ENOENT, 0, "", 1, "", true},
                    fault_case{"OpenTooManyFiles", nullptr, EMFILE, 0, "", 0, kRefused, false},
                    fault_case{"OpenNoPermission", nullptr, EACCES, 0, "", 0, kRefused, false},
                    fault_case{"OpenIoError", nullptr, EIO, 0, "", 0, kRefused, false},
                    fault_case{"LockUnavailable", nullptr, 0, 0, "lock", 0, "cannot lock $S.lock: Is a directory", false},
                    fault_case{"ShortWrite", nullptr, 0, 0, "write", 0, "write failed: $T", false},
                    fault_case{"FileSyncFails", nullptr, 0, 0, "commit", 0, "write failed: $T", false},
                    fault_case{"RenameFails", nullptr, 0, 0, "replace", 0, "rename failed: $T -> $S", false},
                    fault_case{"FolderSyncFails", nullptr, 0, 0, "sync", 0, "sync failed: $S", true},
                    fault_case{"UnparsedVanishesBeforeBackup", "{", 0, 2, "", 1, "", true}),
    [](const testing::TestParamInfo<fault_case>& i) { return std::string(i.param.name); });

double seconds_since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

}  // namespace

TEST(StoreProcesses, AnotherProcessesEditsAreSeenAndKept) {
    fake::reset();
    fake::set_foreground("editor.exe");
    ASSERT_EQ(te_snippet_add(snippet("mine", "1").c_str()), 1);
    pid_t other = fork();  // another host of the same store
    if (other == 0) _exit(te_snippet_add(snippet("theirs", "2").c_str()) + te_snippet_delete(">>email"));
    int status = 0;
    waitpid(other, &status, 0);
    ASSERT_EQ(WEXITSTATUS(status), 2);
    ASSERT_EQ(te_start("{\"poll_ms\":20}"), 1);
    fake::set_clipboard_text("go theirs");
    for (int i = 0; i < 200 && fake::typed_text().empty(); i++) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    te_stop();
    EXPECT_EQ(fake::typed_text(), "2") << "the worker follows the file";
    EXPECT_EQ(te_snippet_add(snippet("theirs", "x").c_str()), 0);
    EXPECT_STREQ(te_last_error(), "trigger already exists: theirs");
    ASSERT_EQ(te_snippet_add(snippet("after").c_str()), 1);
    EXPECT_EQ(te_snippet_count(), 5);
    EXPECT_EQ(te_snippet_json(">>email"), nullptr) << "deleted elsewhere stays deleted";
    EXPECT_EQ(read_file(store_path()), te_snippets_json());
}

TEST(StoreProcesses, ALockKeptByAnotherProcessFailsTheEditInBoundedTime) {
    ASSERT_EQ(te_snippet_add(snippet("mine").c_str()), 1);
    std::string before = read_file(store_path());
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t holder = fork();
    if (holder == 0) {  // holds the lock until it is killed
        if (flock(open((store_path() + ".lock").c_str(), O_RDWR | O_CREAT, 0600), LOCK_EX) == 0 && write(ready[1], "x", 1))
            pause();
        _exit(1);
    }
    close(ready[1]);
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(te_snippet_delete("mine"), 0);
    EXPECT_LT(seconds_since(start), 10.0);
    EXPECT_EQ(std::string(te_last_error()), "store is locked by another process: " + store_path());
    EXPECT_EQ(te_snippet_count(), 4);
    EXPECT_EQ(read_file(store_path()), before);
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_EQ(te_snippet_delete("mine"), 1);
}

// Two processes add triggers of their own and delete every other one, for
// a while, while this one reads the file: every read must parse whole, and
// at the end the file holds exactly what each writer kept.
TEST(StoreProcesses, TwoWritersNeverTearTheFileNorLoseAnAdd) {
    pid_t writers[2];
    for (int w = 0; w < 2; w++) {
        if ((writers[w] = fork()) != 0) continue;
        std::string kept;
        auto start = std::chrono::steady_clock::now();
        for (int n = 0; n < 2000 && seconds_since(start) < 1.5; n++) {
            std::string t = "p" + std::to_string(w) + "_" + std::to_string(n);
            if (te_snippet_add(snippet(t).c_str()) != 1 || (n % 2 == 0 && te_snippet_delete(t.c_str()) == 1)) continue;
            kept += t + "\n";
            std::this_thread::sleep_for(std::chrono::microseconds(500));  // the other's turn
        }
        write_file(store_path() + ".kept" + std::to_string(w), kept);
        _exit(0);
    }
    int reads = 0, torn = 0;
    while (waitpid(writers[0], nullptr, WNOHANG) == 0 || waitpid(writers[1], nullptr, WNOHANG) == 0) {
        std::string text = read_file(store_path());
        yyjson_doc* doc = yyjson_read(text.data(), text.size(), 0);
        reads += !text.empty();
        torn += !text.empty() && !doc;
        yyjson_doc_free(doc);
    }
    EXPECT_EQ(torn, 0) << "of " << reads << " reads";
    int kept = 0;
    for (const char* w : {"0", "1"}) {
        std::string list = read_file(store_path() + ".kept" + w);
        for (std::size_t at = 0, nl; (nl = list.find('\n', at)) != std::string::npos; at = nl + 1, kept++)
            EXPECT_NE(te_snippet_json(list.substr(at, nl - at).c_str()), nullptr) << list.substr(at, nl - at);
    }
    EXPECT_GT(kept, 10);
    EXPECT_EQ(te_snippet_count(), 3 + kept);
}
