// The text to paste is served from this process while the typing waits;
// the user's clipboard is given back through a keeper process
// (clipboard_keeper.h), so it stays served after this process ends.
#include "kde_paste.h"

#include "clipboard_read.h"
#include "data_control.h"
#include "fake_input.h"
#include "fd_io.h"
#include "kwin_front.h"
#include "paste_chord.h"
#include "platform.h"
#include "wl_connection.h"

#include <cstring>
#include <unistd.h>
#include <wayland-client.h>

#include "wlr-data-control-unstable-v1-client.h"

namespace {

const int TE_PIPE_WAIT_MS = 1000;
// How long the program in front has to ask for the pasted text.
const std::uint64_t TE_PASTE_ASK_MS = 1500;
// After the text went out: time for the program to insert it before the
// keys that follow arrive.
const int TE_PASTE_SETTLE_MS = 30;

// Under te_wl_lock: how many times the programs asked for a pasted text.
std::uint64_t te_served = 0;

void te_on_send(void* data, zwlr_data_control_source_v1*, const char*, int fd) {
    te_fd_write_all(fd, *static_cast<std::string*>(data), TE_PIPE_WAIT_MS);
    close(fd);
    te_served++;
}

void te_on_cancelled(void* data, zwlr_data_control_source_v1* source) {
    delete static_cast<std::string*>(data);
    zwlr_data_control_source_v1_destroy(source);
}

const zwlr_data_control_source_v1_listener te_paste_listener = {te_on_send, te_on_cancelled};

int te_receive(const char* type) {
    std::lock_guard<std::mutex> hold(te_wl_lock);
    te_wl* c = te_wl_connection_locked();
    return c ? te_wl_selection_receive_type(c, type) : -1;
}

// Makes the text the selection; the count of served pastes before it, or
// -1 when it could not.
long long te_offer(const std::string& text) {
    std::lock_guard<std::mutex> hold(te_wl_lock);
    te_wl* c = te_wl_connection_locked();
    if (!c || !c->data_control) return -1;
    zwlr_data_control_source_v1* source = zwlr_data_control_manager_v1_create_data_source(c->data_control);
    for (const char* t : te_clip_text_types) zwlr_data_control_source_v1_offer(source, t);
    zwlr_data_control_source_v1_add_listener(source, &te_paste_listener, new std::string(text));
    te_wl_selection_mute(true);
    te_wl_selection_set(c, source);
    int ok = te_wl_sync(c);
    te_wl_selection_mute(false);
    return ok ? (long long)te_served : -1;
}

int te_press_chord() {
    std::string program;
    if (te_kde_front_class(&program) != 1) program.clear();
    std::vector<int> chord = te_paste_chord_for(program.c_str());
    std::vector<te_kde_key> keys;
    for (int code : chord) keys.push_back(te_kde_key{code, true});
    for (auto it = chord.rbegin(); it != chord.rend(); ++it) keys.push_back(te_kde_key{*it, false});
    return te_kde_fake_input_keys(keys);
}

// Waits until the text has been served once more than `before`.
int te_wait_served(long long before) {
    std::uint64_t end = now_millis() + TE_PASTE_ASK_MS;
    for (;;) {
        {
            std::lock_guard<std::mutex> hold(te_wl_lock);
            te_wl* c = te_wl_connection_locked();
            if (!c || !te_wl_pump_locked(c)) return 0;
            if ((long long)te_served > before) break;
        }
        if (now_millis() >= end) return 0;
        usleep(2000);
    }
    usleep(TE_PASTE_SETTLE_MS * 1000);
    return 1;
}

// Sets the selection (or clears it) muted, through `change` run unlocked.
int te_change_muted(int (*change)(const te_clip_contents&), const te_clip_contents& saved) {
    {
        std::lock_guard<std::mutex> hold(te_wl_lock);
        te_wl_selection_mute(true);
    }
    int ok = change(saved);
    std::lock_guard<std::mutex> hold(te_wl_lock);
    te_wl* c = te_wl_connection_locked();
    if (c) te_wl_sync(c);
    te_wl_selection_mute(false);
    return ok && c;
}

int te_keep(const te_clip_contents& saved) { return te_clipboard_keep(saved, te_kde_serve_clipboard); }

int te_clear(const te_clip_contents&) {
    std::lock_guard<std::mutex> hold(te_wl_lock);
    te_wl* c = te_wl_connection_locked();
    if (!c) return 0;
    te_wl_selection_set(c, nullptr);
    return 1;
}

}  // namespace

int te_kde_save_clipboard(te_clip_contents* out) {
    out->clear();
    std::vector<std::string> types;
    {
        std::lock_guard<std::mutex> hold(te_wl_lock);
        te_wl* c = te_wl_connection_locked();
        if (!c || !c->data_control || !te_wl_pump_locked(c)) return 0;
        types = te_wl_selection_types();
    }
    return te_clip_read(types, te_receive, out);
}

int te_kde_paste(const std::string& text) {
    long long before = te_offer(text);
    if (before < 0 || !te_press_chord()) return 0;
    return te_wait_served(before);
}

int te_kde_restore_clipboard(const te_clip_contents& saved) {
    return te_change_muted(saved.empty() ? te_clear : te_keep, saved);
}
