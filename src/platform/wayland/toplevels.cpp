// Each toplevel's state arrives in pieces (app_id, state) made whole by a
// "done" event; only whole states count.
#include "toplevels.h"

#include "wl_connection.h"

#include <atomic>
#include <cstdint>
#include <vector>
#include <wayland-client.h>

#include "wlr-foreign-toplevel-management-unstable-v1-client.h"

namespace {

struct te_toplevel {
    zwlr_foreign_toplevel_handle_v1* handle = nullptr;
    std::string app_id, pending_app_id;
    bool activated = false, pending_activated = false;
    std::uint64_t activated_at = 0;  // te_tops.clock when it was last activated
};

struct te_toplevel_list {
    zwlr_foreign_toplevel_manager_v1* manager = nullptr;
    std::vector<te_toplevel> all;
    std::uint64_t clock = 0;
    zwlr_foreign_toplevel_handle_v1* front = nullptr;
};
te_toplevel_list te_tops;
std::atomic<unsigned> te_serial{0};
std::atomic<int> te_front_state{-1};

te_toplevel* te_find(zwlr_foreign_toplevel_handle_v1* h) {
    for (te_toplevel& t : te_tops.all)
        if (t.handle == h) return &t;
    return nullptr;
}

// The most recently activated of the toplevels that say they are.
te_toplevel* te_front() {
    te_toplevel* best = nullptr;
    for (te_toplevel& t : te_tops.all)
        if (t.activated && (!best || t.activated_at > best->activated_at)) best = &t;
    return best;
}

void te_note_front() {
    te_toplevel* f = te_front();
    zwlr_foreign_toplevel_handle_v1* h = f ? f->handle : nullptr;
    if (h != te_tops.front) te_serial.fetch_add(1);
    te_tops.front = h;
    te_front_state.store(h ? 1 : 0);
}

void te_on_title(void*, zwlr_foreign_toplevel_handle_v1*, const char*) {}
void te_on_app_id(void*, zwlr_foreign_toplevel_handle_v1* h, const char* app_id) {
    te_toplevel* t = te_find(h);
    if (t) t->pending_app_id = app_id;
}
void te_on_output(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
void te_on_state(void*, zwlr_foreign_toplevel_handle_v1* h, wl_array* states) {
    te_toplevel* t = te_find(h);
    if (!t) return;
    t->pending_activated = false;
    const std::uint32_t* s = static_cast<const std::uint32_t*>(states->data);
    for (std::size_t i = 0; i < states->size / sizeof *s; i++)
        if (s[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED) t->pending_activated = true;
}
void te_on_done(void*, zwlr_foreign_toplevel_handle_v1* h) {
    te_toplevel* t = te_find(h);
    if (!t) return;
    if (t->pending_activated && !t->activated) t->activated_at = ++te_tops.clock;
    t->activated = t->pending_activated;
    t->app_id = t->pending_app_id;
    te_note_front();
}
void te_on_closed(void*, zwlr_foreign_toplevel_handle_v1* h) {
    for (std::size_t i = 0; i < te_tops.all.size(); i++) {
        if (te_tops.all[i].handle != h) continue;
        te_tops.all.erase(te_tops.all.begin() + (long)i);
        break;
    }
    zwlr_foreign_toplevel_handle_v1_destroy(h);
    te_note_front();
}
void te_on_parent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

const zwlr_foreign_toplevel_handle_v1_listener te_handle_listener = {
    te_on_title, te_on_app_id, te_on_output, te_on_output, te_on_state, te_on_done, te_on_closed, te_on_parent};

void te_on_toplevel(void*, zwlr_foreign_toplevel_manager_v1*, zwlr_foreign_toplevel_handle_v1* h) {
    te_toplevel t;
    t.handle = h;
    te_tops.all.push_back(t);
    zwlr_foreign_toplevel_handle_v1_add_listener(h, &te_handle_listener, nullptr);
}
// The manager object itself goes with the connection.
void te_on_finished(void*, zwlr_foreign_toplevel_manager_v1*) {
    te_tops.manager = nullptr;
    te_front_state.store(-1);
}

const zwlr_foreign_toplevel_manager_v1_listener te_manager_listener = {te_on_toplevel, te_on_finished};

}  // namespace

void te_wl_toplevels_start(te_wl* c) {
    if (!c->toplevels) return;
    te_tops.manager = c->toplevels;
    zwlr_foreign_toplevel_manager_v1_add_listener(c->toplevels, &te_manager_listener, nullptr);
    te_front_state.store(0);
}

void te_wl_toplevels_forget() {
    for (te_toplevel& t : te_tops.all) te_wl_free(t.handle);
    te_tops = te_toplevel_list();
    te_serial.fetch_add(1);
    te_front_state.store(-1);
}

int te_wl_front_app_id(std::string* out) {
    if (!te_tops.manager) return -1;
    te_toplevel* f = te_front();
    if (!f) return 0;
    *out = f->app_id;
    return 1;
}

unsigned te_wl_front_serial() { return te_serial.load(); }

int te_wl_front_state() { return te_front_state.load(); }
