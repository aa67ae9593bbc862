// The key watch's reader: the input_event records of the physical
// keyboards and mice (input_devices.h), and of any stream of such records
// given to it (a pipe, in the tests), read without blocking and turned
// into key events (key_translate.h). Keyboards plugged in later are
// opened when their node appears, also on the node of one just gone. When
// records were lost, or a device went, the keys held and the lock lights
// are asked of the devices again. Used by one thread only; what it holds
// of the user's typing is wiped when it closes.
#ifndef TE_WL_EVDEV_READER_H
#define TE_WL_EVDEV_READER_H

#include "key_queue.h"
#include "key_translate.h"

#include <bitset>
#include <linux/input.h>
#include <vector>

struct xkb_context;

struct te_wl_event_source {
    int fd = -1;
    bool device = true;     // false: a stream that is not an evdev node
    std::uint64_t id = 0;   // the device's (te_wl_device)
    input_event pending;    // a record read in part
    std::size_t have = 0;   // its bytes read so far
    bool dropping = false;  // records were lost: the rest of the frame is skipped
    std::bitset<KEY_CNT> down;  // the keys it holds down
};

struct te_wl_evdev_reader {
    std::vector<te_wl_event_source> sources;
    int epoll_fd = -1;      // readable when a source or the folder stirs
    int notify_fd = -1;     // inotify on the device folder
    xkb_context* ctx = nullptr;
    bool follow_seat = true;  // take the compositor's keymap as it changes
    bool virtual_too = false; // read virtual devices too (set before opening)
    unsigned keymap_version = 0;
    unsigned front_serial = 0;
    unsigned key_changes = 0;  // keys gone down or up (or lost) so far
    te_wl_key_translator translator;
};

// Opens the devices (virtual ones too when r->virtual_too) and the keymap.
// `keymap` (reference taken) fixes the keymap; null follows the user's
// (user_keymap.h). 1 when keyboards are read, or will be once plugged in
// (the device folder is watched); 0 when neither.
int te_wl_evdev_reader_open(te_wl_evdev_reader* r, te_key_queue* queue, xkb_keymap* keymap);
// Reads records from `fd` too (the reader closes it).
void te_wl_evdev_reader_add_stream(te_wl_evdev_reader* r, int fd);
// Reads every record waiting on every source and queues the key events.
void te_wl_evdev_reader_drain(te_wl_evdev_reader* r);
void te_wl_evdev_reader_close(te_wl_evdev_reader* r);

#endif
