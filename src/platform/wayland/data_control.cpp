#include "data_control.h"

#include "wl_connection.h"

#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>
#include <wayland-client.h>

#include "wlr-data-control-unstable-v1-client.h"

namespace {

// Text formats, the best first.
const char* const TE_TEXT_TYPES[] = {"text/plain;charset=utf-8", "text/plain", "UTF8_STRING"};

struct te_offer {
    zwlr_data_control_offer_v1* offer = nullptr;
    std::vector<std::string> types;
};

struct te_selection {
    zwlr_data_control_device_v1* device = nullptr;
    std::vector<te_offer> offers;  // announced, not yet (or now) the selection
    zwlr_data_control_offer_v1* current = nullptr;
    std::uint32_t count = 0;
    bool muted = false;
};
te_selection te_sel;

te_offer* te_find(zwlr_data_control_offer_v1* offer) {
    for (te_offer& o : te_sel.offers)
        if (o.offer == offer) return &o;
    return nullptr;
}

void te_discard(zwlr_data_control_offer_v1* offer) {
    for (std::size_t i = 0; i < te_sel.offers.size(); i++) {
        if (te_sel.offers[i].offer != offer) continue;
        zwlr_data_control_offer_v1_destroy(offer);
        te_sel.offers.erase(te_sel.offers.begin() + (long)i);
        return;
    }
}

void te_on_type(void*, zwlr_data_control_offer_v1* offer, const char* type) {
    te_offer* o = te_find(offer);
    if (o) o->types.push_back(type);
}

const zwlr_data_control_offer_v1_listener te_offer_listener = {te_on_type};

void te_on_data_offer(void*, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
    te_offer o;
    o.offer = offer;
    te_sel.offers.push_back(o);
    zwlr_data_control_offer_v1_add_listener(offer, &te_offer_listener, nullptr);
}

void te_bump() {
    if (++te_sel.count == 0) te_sel.count = 1;
}

void te_on_selection(void*, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
    if (te_sel.current && te_sel.current != offer) te_discard(te_sel.current);
    te_sel.current = offer;
    if (!te_sel.muted) te_bump();
}

void te_on_finished(void*, zwlr_data_control_device_v1* device) {
    zwlr_data_control_device_v1_destroy(device);
    te_sel.device = nullptr;
}

void te_on_primary(void*, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
    if (offer) te_discard(offer);
}

const zwlr_data_control_device_v1_listener te_device_listener = {te_on_data_offer, te_on_selection, te_on_finished,
                                                                  te_on_primary};

const char* te_text_type(const te_offer& o) {
    for (const char* want : TE_TEXT_TYPES)
        for (const std::string& t : o.types)
            if (t == want) return want;
    return nullptr;
}

}  // namespace

void te_wl_data_control_start(te_wl* c) {
    if (!c->data_control || !c->seat) return;
    te_sel.device = zwlr_data_control_manager_v1_get_data_device(c->data_control, c->seat);
    zwlr_data_control_device_v1_add_listener(te_sel.device, &te_device_listener, nullptr);
    // A new connection: whatever happened while there was none is unknown.
    te_bump();
}

void te_wl_data_control_forget() {
    for (te_offer& o : te_sel.offers) te_wl_free(o.offer);
    te_wl_free(te_sel.device);
    std::uint32_t count = te_sel.count;
    te_sel = te_selection();
    te_sel.count = count;
}

std::uint32_t te_wl_selection_count() { return te_sel.device ? te_sel.count : 0; }

int te_wl_selection_receive(te_wl* c) {
    te_offer* o = te_sel.current ? te_find(te_sel.current) : nullptr;
    const char* type = o ? te_text_type(*o) : nullptr;
    return type ? te_wl_selection_receive_type(c, type) : -1;
}

std::vector<std::string> te_wl_selection_types() {
    te_offer* o = te_sel.current ? te_find(te_sel.current) : nullptr;
    return o ? o->types : std::vector<std::string>();
}

int te_wl_selection_receive_type(te_wl* c, const char* type) {
    te_offer* o = te_sel.current ? te_find(te_sel.current) : nullptr;
    if (!o) return -1;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return -1;
    zwlr_data_control_offer_v1_receive(o->offer, type, fds[1]);
    close(fds[1]);
    wl_display_flush(c->display);
    return fds[0];
}

void te_wl_selection_set(te_wl*, zwlr_data_control_source_v1* source) {
    if (te_sel.device) zwlr_data_control_device_v1_set_selection(te_sel.device, source);
}

void te_wl_selection_mute(bool on) { te_sel.muted = on; }
