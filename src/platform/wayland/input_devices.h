// The input devices under /dev/input that the key watch and the key
// states read: physical keyboards, and for the key watch also the devices
// with mouse buttons (a click moves the text cursor). Virtual devices
// (uinput: other programs' typing) are left out unless asked for.
// The engine's own typing never shows here: its virtual keyboard is the
// compositor's, not the kernel's.
#ifndef TE_WL_INPUT_DEVICES_H
#define TE_WL_INPUT_DEVICES_H

#include <cstdint>
#include <vector>

// TE_WL_VIRTUAL goes with the others: virtual devices of those kinds too.
enum { TE_WL_KEYBOARD = 1, TE_WL_POINTER = 2, TE_WL_VIRTUAL = 4 };

struct te_wl_device {
    int fd;     // open for non-blocking reading
    int kinds;  // TE_WL_KEYBOARD and/or TE_WL_POINTER
    std::uint64_t id = 0;  // the device number of its node: a device plugged
                           // in again on the same node keeps it
};

// The folder holding the event nodes: "/dev/input"; tests point it
// elsewhere.
extern const char* te_wl_input_dir;

// Opens every physical device (and with TE_WL_VIRTUAL every virtual one)
// of one of `kinds`; only key and button events are read from them (not a
// mouse's moves). *denied (may be null) counts the event nodes that could
// not be opened for lack of permission.
std::vector<te_wl_device> te_wl_open_devices(int kinds, int* denied);

// The keys a device holds down now, as evdev codes.
std::vector<int> te_wl_device_keys_down(int fd);

// 1 when the light `led` (LED_CAPSL, LED_NUML) of the device is on.
int te_wl_device_led(int fd, int led);

// 1 when the light `led` of the device is on, 0 when off, -1 when the
// device has no such light.
int te_wl_device_light(int fd, int led);

// The calls the key reader and the key states make on the devices, through
// one table so that tests can stand pipes in for event nodes; each as the
// function above of that name describes.
struct te_wl_device_calls {
    std::vector<te_wl_device> (*open_devices)(int kinds, int* denied);
    std::vector<int> (*keys_down)(int fd);
    int (*light)(int fd, int led);
};

// The calls in force: the system's, unless a test swapped them.
const te_wl_device_calls& te_wl_devices(void);
// Puts `calls` in force (null: the system's again). The table must outlive
// its use; tests swap it before the key watch opens.
void te_wl_devices_swap(const te_wl_device_calls* calls);

#endif
