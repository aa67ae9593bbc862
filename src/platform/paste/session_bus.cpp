#include "session_bus.h"

#include "platform.h"

#include <systemd/sd-bus.h>

std::mutex te_bus_lock;

namespace {

const std::uint64_t TE_RETRY_MS = 1000;

struct te_bus_state {
    sd_bus* bus = nullptr;
    std::uint64_t generation = 0;
    std::uint64_t failed_at = 0;
    bool failed = false;
};
te_bus_state te_bus_s;

void te_drop(te_bus_state& s) {
    if (s.bus) sd_bus_flush_close_unref(s.bus);
    s.bus = nullptr;
    s.failed = true;
    s.failed_at = now_millis();
    s.generation++;
}

}  // namespace

sd_bus* te_bus_locked() {
    te_bus_state& s = te_bus_s;
    if (s.bus && !sd_bus_is_open(s.bus)) te_drop(s);
    if (s.bus) return s.bus;
    if (s.failed && now_millis() - s.failed_at < TE_RETRY_MS) return nullptr;
    if (sd_bus_open_user(&s.bus) < 0) {
        s.bus = nullptr;
        te_drop(s);
        return nullptr;
    }
    s.generation++;
    return s.bus;
}

std::uint64_t te_bus_generation() { return te_bus_s.generation; }

int te_bus_process_locked(sd_bus* bus) {
    int r;
    while ((r = sd_bus_process(bus, nullptr)) > 0) {
    }
    return r >= 0;
}
