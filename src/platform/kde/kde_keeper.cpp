// The keeper's connection: a data control device of its own on the seat,
// a source offering every saved format, served until it is cancelled
// (another program took the clipboard) or the compositor goes away.
#include "fd_io.h"
#include "kde_paste.h"

#include <cstring>
#include <unistd.h>
#include <wayland-client.h>

#include "wlr-data-control-unstable-v1-client.h"

namespace {

const int TE_PIPE_WAIT_MS = 1000;

struct te_keeper {
    wl_seat* seat = nullptr;
    zwlr_data_control_manager_v1* manager = nullptr;
    const te_clip_contents* contents = nullptr;
    bool done = false;
};

void te_on_global(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t) {
    te_keeper* k = static_cast<te_keeper*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !k->seat)
        k->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0)
        k->manager = static_cast<zwlr_data_control_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 1));
}
void te_on_global_remove(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener te_registry_listener = {te_on_global, te_on_global_remove};

// The device's offers are not read: each is let go when it is announced
// as the selection.
void te_on_offer(void*, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1*) {}
void te_on_selection(void*, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
    if (offer) zwlr_data_control_offer_v1_destroy(offer);
}
void te_on_finished(void* data, zwlr_data_control_device_v1*) { static_cast<te_keeper*>(data)->done = true; }
const zwlr_data_control_device_v1_listener te_device_listener = {te_on_offer, te_on_selection, te_on_finished,
                                                                  te_on_selection};

void te_on_send(void* data, zwlr_data_control_source_v1*, const char* type, int fd) {
    const te_keeper* k = static_cast<te_keeper*>(data);
    for (const te_clip_item& item : *k->contents)
        if (item.type == type) te_fd_write_all(fd, item.data, TE_PIPE_WAIT_MS);
    close(fd);
}
void te_on_cancelled(void* data, zwlr_data_control_source_v1*) { static_cast<te_keeper*>(data)->done = true; }
const zwlr_data_control_source_v1_listener te_source_listener = {te_on_send, te_on_cancelled};

}  // namespace

void te_kde_serve_clipboard(const te_clip_contents& contents, te_clip_ready ready, void* ready_ctx) {
    wl_display* d = wl_display_connect(nullptr);
    if (!d) return;
    te_keeper k;
    k.contents = &contents;
    wl_registry_add_listener(wl_display_get_registry(d), &te_registry_listener, &k);
    if (wl_display_roundtrip(d) >= 0 && k.seat && k.manager) {
        zwlr_data_control_device_v1* device = zwlr_data_control_manager_v1_get_data_device(k.manager, k.seat);
        zwlr_data_control_device_v1_add_listener(device, &te_device_listener, &k);
        zwlr_data_control_source_v1* source = zwlr_data_control_manager_v1_create_data_source(k.manager);
        for (const te_clip_item& item : contents) zwlr_data_control_source_v1_offer(source, item.type.c_str());
        zwlr_data_control_source_v1_add_listener(source, &te_source_listener, &k);
        zwlr_data_control_device_v1_set_selection(device, source);
        if (wl_display_roundtrip(d) >= 0) {
            ready(ready_ctx);
            while (!k.done && wl_display_dispatch(d) >= 0) {
            }
        }
    }
    wl_display_disconnect(d);
}
