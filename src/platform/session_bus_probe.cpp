#include "session_bus_probe.h"

#include <systemd/sd-bus.h>

int te_session_bus_has(const char* name) {
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0) return 0;
    sd_bus_message* reply = nullptr;
    int has = 0;
    if (sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                           "NameHasOwner", nullptr, &reply, "s", name) >= 0 &&
        sd_bus_message_read(reply, "b", &has) < 0)
        has = 0;
    sd_bus_message_unref(reply);
    sd_bus_flush_close_unref(bus);
    return has ? 1 : 0;
}
