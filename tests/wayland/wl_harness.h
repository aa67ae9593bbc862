// What the Wayland tests and benchmarks drive on the test desktop
// (scripts/test-wayland.sh): child processes, and foot recording what it
// receives into a file. Every wait here is bounded.
#ifndef TE_WL_HARNESS_H
#define TE_WL_HARNESS_H

#include <string>
#include <sys/types.h>
#include <vector>

namespace te_wl_test {

long long millis();

// A child process, ended with SIGTERM when destroyed.
class child {
public:
    explicit child(const std::vector<std::string>& argv);
    ~child();
    child(const child&) = delete;
    child& operator=(const child&) = delete;
    bool started() const { return pid_ > 0; }
    // Its exit status once it ends within timeout_ms, else -1.
    int wait(int timeout_ms);

private:
    pid_t pid_ = -1;
};

// Runs argv to its end; its exit status, or -1.
int run(const std::vector<std::string>& argv, int timeout_ms = 10000);

// A new empty folder of its own under the temporary folder.
std::string temp_dir();

// foot with app_id "sink", its terminal raw, cat writing all it receives
// to a file.
class sink {
public:
    sink();
    // 1 once the terminal is ready and foot is the program in front.
    bool ready() const { return ready_; }
    std::string received() const;
    // Waits until `bytes` bytes have arrived (or the time is up) and nothing
    // more comes for a short while; returns what arrived.
    std::string wait_for(size_t bytes, int timeout_ms = 20000) const;

private:
    std::string path_;
    child foot_;
    bool ready_ = false;
};

// 2,000 characters of many scripts (Latin, Greek, Cyrillic, Arabic,
// Hebrew, Devanagari, Hangul, CJK, emoji), the same each time; or of CJK
// only.
std::string mixed_script_text(size_t chars);
std::string cjk_text(size_t chars);

}  // namespace te_wl_test

#endif
