// The input devices under /dev/input that the key watch and the key
// states read: physical keyboards, and for the key watch also the devices
// with mouse buttons (a click moves the text cursor). Virtual devices
// (uinput: other programs' typing) are left out unless asked for.
// The engine's own typing never shows here: its virtual keyboard is the
// compositor's, not the kernel's.
#ifndef TE_WL_INPUT_DEVICES_H
#define TE_WL_INPUT_DEVICES_H

#include <vector>

// TE_WL_VIRTUAL goes with the others: virtual devices of those kinds too.
enum { TE_WL_KEYBOARD = 1, TE_WL_POINTER = 2, TE_WL_VIRTUAL = 4 };

struct te_wl_device {
    int fd;     // open for non-blocking reading
    int kinds;  // TE_WL_KEYBOARD and/or TE_WL_POINTER
};

// The folder holding the event nodes: "/dev/input"; tests point it
// elsewhere.
extern const char* te_wl_input_dir;

// Opens every physical device (and with TE_WL_VIRTUAL every virtual one)
// of one of `kinds`. *denied (may be null)
// counts the event nodes that could not be opened for lack of permission.
std::vector<te_wl_device> te_wl_open_devices(int kinds, int* denied);

// The keys a device holds down now, as evdev codes.
std::vector<int> te_wl_device_keys_down(int fd);

// 1 when the light `led` (LED_CAPSL, LED_NUML) of the device is on.
int te_wl_device_led(int fd, int led);

#endif
