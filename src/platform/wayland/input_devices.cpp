#include "input_devices.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <atomic>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

const char* te_wl_input_dir = "/dev/input";

namespace {

// uinput devices sit under /sys/devices/virtual. (Their bus type says
// nothing: virtio and Hyper-V keyboards, the real keyboards of virtual
// machines, are on BUS_VIRTUAL too.)
bool te_is_virtual(const char* node) {
    std::string sys = std::string("/sys/class/input/") + node + "/device";
    char real[PATH_MAX];
    if (!realpath(sys.c_str(), real)) return false;
    return std::strstr(real, "/devices/virtual/") != nullptr;
}

int te_kinds(libevdev* dev) {
    int kinds = 0;
    if (libevdev_has_event_code(dev, EV_KEY, KEY_A) && libevdev_has_event_code(dev, EV_KEY, KEY_SPACE))
        kinds |= TE_WL_KEYBOARD;
    if (libevdev_has_event_code(dev, EV_KEY, BTN_LEFT)) kinds |= TE_WL_POINTER;
    return kinds;
}

// The kinds of the device open at fd, 0 when it is none of `wanted`, or
// virtual while virtual devices are not wanted.
int te_classify(const char* node, int fd, int wanted) {
    libevdev* dev = nullptr;
    if (libevdev_new_from_fd(fd, &dev) < 0) return 0;
    int kinds = te_kinds(dev) & wanted;
    if (kinds && !(wanted & TE_WL_VIRTUAL) && te_is_virtual(node)) kinds = 0;
    libevdev_free(dev);
    return kinds;
}

// Only key and button events (and the reports that frame them) reach this
// descriptor: a mouse that moves, or a touchpad that is touched, wakes no
// reader. The kernel drops a report left empty.
void te_keys_only(int fd) {
    unsigned char types[EV_CNT / 8 + 1] = {};
    types[EV_KEY / 8] = (unsigned char)(1u << (EV_KEY % 8));
    input_mask mask = {EV_SYN, (std::uint32_t)sizeof types, (std::uint64_t)(std::uintptr_t)types};
    ioctl(fd, EVIOCSMASK, &mask);
}

}  // namespace

std::vector<te_wl_device> te_wl_open_devices(int kinds, int* denied) {
    std::vector<te_wl_device> out;
    if (denied) *denied = 0;
    DIR* dir = opendir(te_wl_input_dir);
    if (!dir) {
        if (denied && (errno == EACCES || errno == EPERM)) (*denied)++;
        return out;
    }
    while (dirent* e = readdir(dir)) {
        if (std::strncmp(e->d_name, "event", 5) != 0) continue;
        std::string path = std::string(te_wl_input_dir) + "/" + e->d_name;
        int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            if (denied && (errno == EACCES || errno == EPERM)) (*denied)++;
            continue;
        }
        int k = te_classify(e->d_name, fd, kinds);
        struct stat st;
        if (k && fstat(fd, &st) == 0) {
            te_keys_only(fd);
            out.push_back(te_wl_device{fd, k, (std::uint64_t)st.st_rdev});
        } else {
            close(fd);
        }
    }
    closedir(dir);
    return out;
}

std::vector<int> te_wl_device_keys_down(int fd) {
    unsigned char bits[KEY_MAX / 8 + 1];
    std::memset(bits, 0, sizeof bits);
    std::vector<int> down;
    if (ioctl(fd, EVIOCGKEY(sizeof bits), bits) < 0) return down;
    for (int code = 0; code <= KEY_MAX; code++)
        if (bits[code / 8] & (1 << (code % 8))) down.push_back(code);
    return down;
}

int te_wl_device_led(int fd, int led) { return te_wl_device_light(fd, led) == 1; }

int te_wl_device_light(int fd, int led) {
    unsigned char has[LED_MAX / 8 + 1], on[LED_MAX / 8 + 1];
    std::memset(has, 0, sizeof has);
    std::memset(on, 0, sizeof on);
    if (ioctl(fd, EVIOCGBIT(EV_LED, sizeof has), has) < 0 || !((has[led / 8] >> (led % 8)) & 1)) return -1;
    if (ioctl(fd, EVIOCGLED(sizeof on), on) < 0) return -1;
    return (on[led / 8] >> (led % 8)) & 1;
}

namespace {

const te_wl_device_calls te_system_devices = {te_wl_open_devices, te_wl_device_keys_down, te_wl_device_light};
std::atomic<const te_wl_device_calls*> te_devices_in_force{&te_system_devices};

}  // namespace

const te_wl_device_calls& te_wl_devices(void) { return *te_devices_in_force.load(); }

void te_wl_devices_swap(const te_wl_device_calls* calls) {
    te_devices_in_force.store(calls ? calls : &te_system_devices);
}
