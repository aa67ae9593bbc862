// The keeper's session: a remote desktop session of its own on a bus
// connection of its own, owning the clipboard with every saved format,
// answering each program that asks, until another owner takes over or the
// session ends. An empty clipboard is kept as a clipboard offering
// nothing.
#include "gnome_desktop.h"
#include "remote_desktop.h"

#include <cstring>
#include <systemd/sd-bus.h>

namespace {

struct te_keeper {
    const te_clip_contents* contents = nullptr;
    std::string session;
    bool owner = false;
    bool done = false;
};

int te_on_owner(sd_bus_message* m, void* data, sd_bus_error*) {
    te_keeper* k = static_cast<te_keeper*>(data);
    std::vector<std::string> types;
    int is_owner = 0;
    te_gnome_read_owner(m, &types, &is_owner);
    if (is_owner) k->owner = true;
    else if (k->owner) k->done = true;
    return 0;
}

int te_on_transfer(sd_bus_message* m, void* data, sd_bus_error*) {
    te_keeper* k = static_cast<te_keeper*>(data);
    const char* type = nullptr;
    std::uint32_t serial = 0;
    if (sd_bus_message_read(m, "su", &type, &serial) < 0) return 0;
    std::string content;
    for (const te_clip_item& item : *k->contents)
        if (item.type == type) content = item.data;
    te_gnome_answer_transfer(sd_bus_message_get_bus(m), k->session, serial, content);
    return 0;
}

int te_on_closed(sd_bus_message*, void* data, sd_bus_error*) {
    static_cast<te_keeper*>(data)->done = true;
    return 0;
}

}  // namespace

void te_gnome_serve_clipboard(const te_clip_contents& contents, te_clip_ready ready, void* ready_ctx) {
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0) return;
    te_keeper k;
    k.contents = &contents;
    const char* iface = "org.gnome.Mutter.RemoteDesktop.Session";
    k.session = te_gnome_new_session(bus, nullptr);
    std::vector<std::string> types;
    for (const te_clip_item& item : contents) types.push_back(item.type);
    if (!k.session.empty() &&
        sd_bus_match_signal(bus, nullptr, nullptr, k.session.c_str(), iface, "SelectionOwnerChanged", te_on_owner,
                            &k) >= 0 &&
        sd_bus_match_signal(bus, nullptr, nullptr, k.session.c_str(), iface, "SelectionTransfer", te_on_transfer,
                            &k) >= 0 &&
        sd_bus_match_signal(bus, nullptr, nullptr, k.session.c_str(), iface, "Closed", te_on_closed, &k) >= 0 &&
        te_gnome_set_selection(bus, k.session, types)) {
        ready(ready_ctx);
        while (!k.done) {
            int r = sd_bus_process(bus, nullptr);
            if (r < 0) break;
            if (r == 0 && sd_bus_wait(bus, UINT64_MAX) < 0) break;
        }
    }
    sd_bus_flush_close_unref(bus);
}
