#include "fake_keyboards.h"

#include "input_devices.h"
#include "wl_harness.h"

#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace te_wl_test {

std::vector<key_action> tap(int code) { return {{code, 1}, {code, 0}}; }

std::vector<key_action> with(int modifier, int code) { return {{modifier, 1}, {code, 1}, {code, 0}, {modifier, 0}}; }

std::vector<key_action> join(std::initializer_list<std::vector<key_action>> parts) {
    std::vector<key_action> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::vector<input_event> records(const std::vector<key_action>& actions) {
    std::vector<input_event> out;
    for (const key_action& a : actions) {
        input_event scan = {}, key = {}, report = {};
        scan.type = EV_MSC;
        scan.code = MSC_SCAN;
        scan.value = 0x70000 + a.code;
        key.type = EV_KEY;
        key.code = (unsigned short)a.code;
        key.value = a.value;
        report.type = EV_SYN;
        report.code = SYN_REPORT;
        out.insert(out.end(), {scan, key, report});
    }
    return out;
}

namespace {

fake_keyboards* te_in_force = nullptr;

const te_wl_device_calls te_fake_calls = {
    [](int, int* denied) {
        if (denied) *denied = 0;
        return te_in_force ? te_in_force->open_all() : std::vector<te_wl_device>();
    },
    [](int fd) { return te_in_force ? te_in_force->held(fd) : std::vector<int>(); },
    [](int fd, int led) { return te_in_force ? te_in_force->light(fd, led) : -1; }};

}  // namespace

fake_keyboards::fake_keyboards() : dir_(temp_dir()) {
    te_wl_input_dir = dir_.c_str();
    te_in_force = this;
    te_wl_devices_swap(&te_fake_calls);
}

fake_keyboards::~fake_keyboards() {
    te_wl_devices_swap(nullptr);
    te_in_force = nullptr;
    for (fake_keyboard& k : keyboards_) unplug(k);
}

fake_keyboard& fake_keyboards::add() {
    std::lock_guard<std::mutex> hold(lock_);
    keyboards_.emplace_back();
    keyboards_.back().id = 0x0d40 + keyboards_.size();
    return keyboards_.back();
}

void fake_keyboards::plug(fake_keyboard& k) {
    int fds[2];
    if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) return;
    std::lock_guard<std::mutex> hold(lock_);
    k.read_fd = fds[0];
    k.write_fd = fds[1];
    std::ofstream(dir_ + "/event" + std::to_string(k.id) + "." + std::to_string(++nodes_));
}

void fake_keyboards::unplug(fake_keyboard& k) {
    std::lock_guard<std::mutex> hold(lock_);
    if (k.read_fd < 0) return;
    close(k.write_fd);
    close(k.read_fd);
    k.read_fd = k.write_fd = -1;
}

bool fake_keyboards::send(fake_keyboard& k, const std::vector<input_event>& recs) {
    std::size_t bytes = recs.size() * sizeof(input_event);
    return k.write_fd >= 0 && write(k.write_fd, recs.data(), bytes) == (ssize_t)bytes;
}

std::vector<te_wl_device> fake_keyboards::open_all() {
    std::lock_guard<std::mutex> hold(lock_);
    std::vector<te_wl_device> out;
    for (const fake_keyboard& k : keyboards_)
        if (k.read_fd >= 0) out.push_back(te_wl_device{fcntl(k.read_fd, F_DUPFD_CLOEXEC, 0), TE_WL_KEYBOARD, k.id});
    return out;
}

void fake_keyboards::hold(fake_keyboard& k, const std::vector<int>& keys) {
    std::lock_guard<std::mutex> hold(lock_);
    k.held = keys;
}

std::vector<int> fake_keyboards::held(int fd) {
    std::lock_guard<std::mutex> hold(lock_);
    fake_keyboard* k = of_locked(fd);
    return k ? k->held : std::vector<int>();
}

int fake_keyboards::light(int fd, int led) {
    std::lock_guard<std::mutex> hold(lock_);
    fake_keyboard* k = of_locked(fd);
    return k && led == LED_CAPSL ? k->caps_light : -1;
}

fake_keyboard* fake_keyboards::of_locked(int fd) {
    struct stat a, b;
    if (fstat(fd, &a) != 0) return nullptr;
    for (fake_keyboard& k : keyboards_)
        if (k.read_fd >= 0 && fstat(k.read_fd, &b) == 0 && a.st_ino == b.st_ino) return &k;
    return nullptr;
}

}  // namespace te_wl_test
