// Keys for the key watch without /dev/input: recorded input_event streams
// (each key action as a keyboard reports it: scan code, key, report), and
// keyboards that are pipes. While a fake_keyboards object lives, the
// device calls (input_devices.h) are its own: the key watch finds the
// keyboards plugged in in a device folder of their own, as it finds event
// nodes, and asks them which keys are down and whether the Caps Lock light
// is on, as the test sets it. The worker's thread may ask while the test
// plugs them in and out.
#ifndef TE_WL_FAKE_KEYBOARDS_H
#define TE_WL_FAKE_KEYBOARDS_H

#include "input_devices.h"

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <linux/input.h>
#include <mutex>
#include <string>
#include <vector>

namespace te_wl_test {

struct key_action {
    int code;
    int value;  // 1 press, 0 release, 2 autorepeat
};

std::vector<key_action> tap(int code);
std::vector<key_action> with(int modifier, int code);
std::vector<key_action> join(std::initializer_list<std::vector<key_action>> parts);
std::vector<input_event> records(const std::vector<key_action>& actions);

struct fake_keyboard {
    int read_fd = -1, write_fd = -1;  // -1 while not plugged in
    std::uint64_t id = 0;
    std::vector<int> held;  // what EVIOCGKEY says
    int caps_light = -1;    // what EVIOCGLED says: -1 no such light
};

class fake_keyboards {
public:
    fake_keyboards();
    ~fake_keyboards();
    fake_keyboards(const fake_keyboards&) = delete;
    fake_keyboards& operator=(const fake_keyboards&) = delete;

    fake_keyboard& add();  // one more keyboard, not plugged in yet
    // A node appears in the device folder for it (its number as before
    // when it was plugged in already).
    void plug(fake_keyboard& k);
    void unplug(fake_keyboard& k);
    bool send(fake_keyboard& k, const std::vector<input_event>& recs);
    // What it says is down from now on.
    void hold(fake_keyboard& k, const std::vector<int>& keys);
    // The device calls': a descriptor of each keyboard plugged in, and what
    // the keyboard a descriptor reads says.
    std::vector<te_wl_device> open_all();
    std::vector<int> held(int fd);
    int light(int fd, int led);

private:
    std::string dir_;
    int nodes_ = 0;
    fake_keyboard* of_locked(int fd);

    std::mutex lock_;  // guards the keyboards and their list
    std::deque<fake_keyboard> keyboards_;
};

}  // namespace te_wl_test

#endif
