#include "wl_harness.h"

#include "platform.h"
#include "utf8_codec.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace te_wl_test {

long long millis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

child::child(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    if (posix_spawnp(&pid_, args[0], nullptr, nullptr, args.data(), environ) != 0) pid_ = -1;
}

child::~child() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

int child::wait(int timeout_ms) {
    long long end = millis() + timeout_ms;
    while (pid_ > 0) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        if (millis() > end) return -1;
        usleep(2000);
    }
    return -1;
}

int run(const std::vector<std::string>& argv, int timeout_ms) {
    child c(argv);
    return c.started() ? c.wait(timeout_ms) : -1;
}

std::string temp_dir() {
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && base[0] ? base : "/tmp") + "/te-wl-XXXXXX";
    return mkdtemp(&tmpl[0]) ? tmpl : "";
}

namespace {

bool in_front_is_sink() {
    char name[64];
    const char* got = foreground_process_name(name, sizeof name);
    return got && std::string(got) == "SINK";
}

}  // namespace

// The shell makes the file only once the terminal is raw, so the file
// says the terminal is ready.
sink::sink()
    : path_(temp_dir() + "/received"),
      foot_({"foot", "--app-id=sink", "sh", "-c", "stty raw -echo && exec cat > '" + path_ + "'"}) {
    long long end = millis() + 10000;
    struct stat st;
    while (millis() < end && !(stat(path_.c_str(), &st) == 0 && in_front_is_sink())) usleep(10000);
    ready_ = stat(path_.c_str(), &st) == 0 && in_front_is_sink();
}

std::string sink::received() const {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string sink::wait_for(size_t bytes, int timeout_ms) const {
    long long end = millis() + timeout_ms;
    std::string got = received();
    while (got.size() < bytes && millis() < end) {
        usleep(5000);
        got = received();
    }
    usleep(100000);
    return received();
}

namespace {

// A fixed sequence of pseudo-random numbers (a linear congruential one).
struct te_numbers {
    unsigned long long state = 12345;
    unsigned next(unsigned n) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return (unsigned)((state >> 33) % n);
    }
};

std::string te_text_from(size_t chars, const std::vector<std::pair<std::uint32_t, std::uint32_t>>& ranges) {
    te_numbers r;
    std::string out;
    for (size_t i = 0; i < chars; i++) {
        if (i % 9 == 8) {
            out += ' ';
            continue;
        }
        const auto& range = ranges[r.next((unsigned)ranges.size())];
        te_utf8_append(out, range.first + r.next(range.second - range.first + 1));
    }
    return out;
}

}  // namespace

std::string mixed_script_text(size_t chars) {
    return te_text_from(chars, {{'a', 'z'}, {'A', 'Z'}, {0xE0, 0xFF}, {0x3B1, 0x3C9}, {0x430, 0x44F},
                                {0x627, 0x64A}, {0x5D0, 0x5EA}, {0x915, 0x939}, {0xAC00, 0xD7A3},
                                {0x4E00, 0x9FFF}, {0x1F600, 0x1F64F}});
}

std::string cjk_text(size_t chars) { return te_text_from(chars, {{0x4E00, 0x9FFF}}); }

}  // namespace te_wl_test
