// The process's one connection to the user's session bus (sd-bus of
// libsystemd), for the desktops that are driven over D-Bus: Mutter's
// remote desktop (GNOME), KWin's scripting (KDE).
//
// Lock rule: te_bus_lock guards the connection, every match and object
// made on it and every record their handlers write. Hold it for any call
// on the connection; the handlers run only inside te_bus_process_locked
// (or a call that waits for a reply) under it. Never wait for anything but
// a reply on the bus while holding it.
#ifndef TE_PASTE_SESSION_BUS_H
#define TE_PASTE_SESSION_BUS_H

#include <cstdint>
#include <mutex>

struct sd_bus;

extern std::mutex te_bus_lock;

// With te_bus_lock held: the connection, made on first use; null when
// there is no session bus. A broken connection is dropped (its matches and
// objects with it: *generation changes) and a new one tried at most once a
// second.
sd_bus* te_bus_locked();

// A number that changes whenever the connection is replaced, so that what
// was made on the old one is made again. Read with te_bus_lock held.
std::uint64_t te_bus_generation();

// With te_bus_lock held: handles every message that has arrived, without
// waiting. 0 when the connection broke.
int te_bus_process_locked(sd_bus* bus);

#endif
