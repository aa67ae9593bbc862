#include "remote_desktop.h"

#include "clipboard_read.h"
#include "fd_io.h"
#include "session_bus.h"
#include "wake.h"

#include <cstring>
#include <fcntl.h>
#include <systemd/sd-bus.h>
#include <unistd.h>
#include <xkbcommon/xkbcommon-keysyms.h>

namespace {

const char* const TE_RD = "org.gnome.Mutter.RemoteDesktop";
const char* const TE_RD_PATH = "/org/gnome/Mutter/RemoteDesktop";
const char* const TE_SESSION_IFACE = "org.gnome.Mutter.RemoteDesktop.Session";
const int TE_PIPE_WAIT_MS = 1000;
// The one format of a clipboard that holds nothing (te_gnome_clipboard_empty).
const char* const TE_EMPTY_TYPE = "application/x-velmora-empty";

// The engine's session and what its signals told; under te_bus_lock.
struct te_rd_state {
    std::string path;
    std::uint64_t generation = 0;  // of the connection the session is on
    sd_bus_slot* owner_slot = nullptr;
    sd_bus_slot* transfer_slot = nullptr;
    sd_bus_slot* closed_slot = nullptr;
    std::vector<std::string> types;
    bool types_known = false;  // another program owns the clipboard
    bool own = false;          // this session owns it
    std::uint32_t count = 0;
    bool muted = false;
    std::string offered;  // the text the session owns the clipboard with
    std::uint64_t served = 0;
};
te_rd_state te_rd;

void te_bump() {
    if (++te_rd.count == 0) te_rd.count = 1;
    // A watch waiting on the bus may have missed this message if another
    // thread read it off the connection: wake it.
    te_wake_send();
}

// Reads a list of strings at the message's position into *out.
void te_read_strings(sd_bus_message* m, std::vector<std::string>* out) {
    char** strv = nullptr;
    if (sd_bus_message_read_strv(m, &strv) < 0 || !strv) return;
    for (char** s = strv; *s; s++) out->push_back(*s);
    for (char** s = strv; *s; s++) free(*s);
    free(strv);
}

// The value of "mime-types": Mutter 43 sends the list inside a structure
// of one member ("(as)"); a plain list ("as") is read too.
void te_read_mime_types(sd_bus_message* m, std::vector<std::string>* types) {
    const char* contents = nullptr;
    if (sd_bus_message_peek_type(m, nullptr, &contents) < 0 || !contents) {
        sd_bus_message_skip(m, "v");
    } else if (std::strcmp(contents, "as") == 0 && sd_bus_message_enter_container(m, 'v', "as") >= 0) {
        te_read_strings(m, types);
        sd_bus_message_exit_container(m);
    } else if (std::strcmp(contents, "(as)") == 0 && sd_bus_message_enter_container(m, 'v', "(as)") >= 0) {
        if (sd_bus_message_enter_container(m, 'r', "as") >= 0) {
            te_read_strings(m, types);
            sd_bus_message_exit_container(m);
        }
        sd_bus_message_exit_container(m);
    } else {
        sd_bus_message_skip(m, "v");
    }
}

}  // namespace

void te_gnome_read_owner(sd_bus_message* m, std::vector<std::string>* types, int* is_owner) {
    if (sd_bus_message_enter_container(m, 'a', "{sv}") < 0) return;
    while (sd_bus_message_enter_container(m, 'e', "sv") > 0) {
        const char* key = nullptr;
        sd_bus_message_read(m, "s", &key);
        if (key && std::strcmp(key, "mime-types") == 0) {
            te_read_mime_types(m, types);
        } else if (key && std::strcmp(key, "session-is-owner") == 0) {
            sd_bus_message_read(m, "v", "b", is_owner);
        } else {
            sd_bus_message_skip(m, "v");
        }
        sd_bus_message_exit_container(m);
    }
    sd_bus_message_exit_container(m);
}

namespace {

int te_on_owner(sd_bus_message* m, void*, sd_bus_error*) {
    std::vector<std::string> types;
    int is_owner = 0;
    te_gnome_read_owner(m, &types, &is_owner);
    te_rd.own = is_owner != 0;
    if (is_owner) return 0;
    te_rd.types = types;
    te_rd.types_known = true;
    te_rd.offered.clear();
    if (!te_rd.muted) te_bump();
    return 0;
}

int te_on_transfer(sd_bus_message* m, void*, sd_bus_error*) {
    const char* type = nullptr;
    std::uint32_t serial = 0;
    if (sd_bus_message_read(m, "su", &type, &serial) < 0) return 0;
    te_gnome_answer_transfer(sd_bus_message_get_bus(m), te_rd.path, serial, te_rd.offered);
    te_rd.served++;
    return 0;
}

int te_on_closed(sd_bus_message*, void*, sd_bus_error*) {
    te_rd.path.clear();
    return 0;
}

void te_forget() {
    te_rd.owner_slot = sd_bus_slot_unref(te_rd.owner_slot);
    te_rd.transfer_slot = sd_bus_slot_unref(te_rd.transfer_slot);
    te_rd.closed_slot = sd_bus_slot_unref(te_rd.closed_slot);
    te_rd.path.clear();
    te_rd.types.clear();
    te_rd.types_known = false;
    te_rd.own = false;
    te_rd.offered.clear();
}

int te_session_call(sd_bus* bus, const std::string& session, const char* method, std::string* error) {
    sd_bus_error e = SD_BUS_ERROR_NULL;
    int r = sd_bus_call_method(bus, TE_RD, session.c_str(), TE_SESSION_IFACE, method, &e, nullptr, "");
    if (r < 0 && error) *error = e.message ? e.message : std::strerror(-r);
    sd_bus_error_free(&e);
    return r >= 0;
}

int te_enable_clipboard(sd_bus* bus, const std::string& session, std::string* error) {
    sd_bus_error e = SD_BUS_ERROR_NULL;
    int r = sd_bus_call_method(bus, TE_RD, session.c_str(), TE_SESSION_IFACE, "EnableClipboard", &e, nullptr,
                               "a{sv}", 0);
    if (r < 0 && error) *error = e.message ? e.message : std::strerror(-r);
    sd_bus_error_free(&e);
    return r >= 0;
}

bool te_match(sd_bus* bus, sd_bus_slot** slot, const std::string& session, const char* member,
              sd_bus_message_handler_t handler) {
    return sd_bus_match_signal(bus, slot, nullptr, session.c_str(), TE_SESSION_IFACE, member, handler, nullptr) >= 0;
}

std::string te_create_session(sd_bus* bus, std::string* error) {
    sd_bus_error e = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int r = sd_bus_call_method(bus, TE_RD, TE_RD_PATH, TE_RD, "CreateSession", &e, &reply, "");
    const char* path = nullptr;
    if (r >= 0) r = sd_bus_message_read(reply, "o", &path);
    std::string session = r >= 0 && path ? path : "";
    if (r < 0 && error) *error = e.message ? e.message : std::strerror(-r);
    sd_bus_error_free(&e);
    sd_bus_message_unref(reply);
    return session;
}

// Mutter swallowed the first key event of a new session on a seat with
// no other keyboard: a Shift press and release go first, so that no key
// of a text is the one lost.
void te_wake_keyboard(sd_bus* bus, const std::string& session) {
    te_gnome_keysym(bus, session, XKB_KEY_Shift_L, true, false);
    te_gnome_keysym(bus, session, XKB_KEY_Shift_L, false, true);
}

}  // namespace

std::string te_gnome_new_session(sd_bus* bus, std::string* error) {
    std::string session = te_create_session(bus, error);
    // Mutter serves the clipboard of started sessions only.
    if (!session.empty() &&
        (!te_enable_clipboard(bus, session, error) || !te_session_call(bus, session, "Start", error)))
        return "";
    return session;
}

std::string te_gnome_session(sd_bus* bus, std::string* error) {
    if (te_rd.generation != te_bus_generation()) te_forget();
    if (!te_rd.path.empty()) return te_rd.path;
    te_forget();
    te_rd.generation = te_bus_generation();
    std::string session = te_create_session(bus, error);
    if (session.empty()) return "";
    // The signals are followed before the clipboard is enabled, so that
    // its first owner is heard of.
    if (!te_match(bus, &te_rd.owner_slot, session, "SelectionOwnerChanged", te_on_owner) ||
        !te_match(bus, &te_rd.transfer_slot, session, "SelectionTransfer", te_on_transfer) ||
        !te_match(bus, &te_rd.closed_slot, session, "Closed", te_on_closed) ||
        !te_enable_clipboard(bus, session, error) || !te_session_call(bus, session, "Start", error)) {
        te_forget();
        return "";
    }
    te_rd.path = session;
    te_bump();
    te_wake_keyboard(bus, session);
    return session;
}

int te_gnome_keysym(sd_bus* bus, const std::string& session, std::uint32_t sym, bool pressed, bool wait) {
    sd_bus_message* m = nullptr;
    if (sd_bus_message_new_method_call(bus, &m, TE_RD, session.c_str(), TE_SESSION_IFACE, "NotifyKeyboardKeysym") < 0)
        return 0;
    int r = sd_bus_message_append(m, "ub", sym, (int)pressed);
    if (r >= 0 && !wait) {
        sd_bus_message_set_expect_reply(m, 0);
        r = sd_bus_send(bus, m, nullptr);
    } else if (r >= 0) {
        r = sd_bus_call(bus, m, 0, nullptr, nullptr);
    }
    sd_bus_message_unref(m);
    return r >= 0;
}

std::vector<std::string> te_gnome_selection_types(bool* known) {
    *known = te_rd.types_known && !te_rd.own;
    return *known ? te_rd.types : std::vector<std::string>();
}

std::uint32_t te_gnome_selection_count() { return te_rd.path.empty() ? 0 : te_rd.count; }

void te_gnome_selection_mute(bool on) { te_rd.muted = on; }

int te_gnome_selection_read(sd_bus* bus, const std::string& session, const char* type) {
    sd_bus_message* reply = nullptr;
    int r = sd_bus_call_method(bus, TE_RD, session.c_str(), TE_SESSION_IFACE, "SelectionRead", nullptr, &reply, "s",
                               type);
    int fd = -1;
    if (r >= 0 && sd_bus_message_read(reply, "h", &fd) >= 0) fd = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    else fd = -1;
    sd_bus_message_unref(reply);
    return fd;
}

int te_gnome_set_selection(sd_bus* bus, const std::string& session, const std::vector<std::string>& types) {
    sd_bus_message* m = nullptr;
    if (sd_bus_message_new_method_call(bus, &m, TE_RD, session.c_str(), TE_SESSION_IFACE, "SetSelection") < 0)
        return 0;
    int r = sd_bus_message_open_container(m, 'a', "{sv}");
    if (r >= 0) r = sd_bus_message_open_container(m, 'e', "sv");
    if (r >= 0) r = sd_bus_message_append(m, "s", "mime-types");
    if (r >= 0) r = sd_bus_message_open_container(m, 'v', "as");
    if (r >= 0) r = sd_bus_message_open_container(m, 'a', "s");
    for (std::size_t i = 0; r >= 0 && i < types.size(); i++) r = sd_bus_message_append(m, "s", types[i].c_str());
    for (int i = 0; r >= 0 && i < 4; i++) r = sd_bus_message_close_container(m);
    if (r >= 0) r = sd_bus_call(bus, m, 0, nullptr, nullptr);
    sd_bus_message_unref(m);
    return r >= 0;
}

void te_gnome_answer_transfer(sd_bus* bus, const std::string& session, std::uint32_t serial, const std::string& data) {
    sd_bus_message* reply = nullptr;
    int r = sd_bus_call_method(bus, TE_RD, session.c_str(), TE_SESSION_IFACE, "SelectionWrite", nullptr, &reply, "u",
                               serial);
    int fd = -1;
    bool ok = r >= 0 && sd_bus_message_read(reply, "h", &fd) >= 0 && te_fd_write_all(fd, data, TE_PIPE_WAIT_MS);
    sd_bus_message_unref(reply);  // closes the descriptor: the reader sees the end
    sd_bus_call_method(bus, TE_RD, session.c_str(), TE_SESSION_IFACE, "SelectionWriteDone", nullptr, nullptr, "ub",
                       serial, (int)ok);
}

int te_gnome_selection_offer(sd_bus* bus, const std::string& session, const std::string& text) {
    std::vector<std::string> types(te_clip_text_types, te_clip_text_types + 5);
    te_rd.offered = text;
    return te_gnome_set_selection(bus, session, types);
}

std::uint64_t te_gnome_selection_served() { return te_rd.served; }

int te_gnome_sync(sd_bus* bus, const std::string& session) {
    sd_bus_message* reply = nullptr;
    int r = sd_bus_call_method(bus, TE_RD, session.c_str(), "org.freedesktop.DBus.Properties", "Get", nullptr, &reply,
                               "ss", TE_SESSION_IFACE, "SessionId");
    sd_bus_message_unref(reply);
    return r >= 0 && te_bus_process_locked(bus);
}

int te_gnome_clipboard_empty(sd_bus* bus, const std::string& session) {
    te_rd.offered.clear();
    std::vector<std::string> types(1, TE_EMPTY_TYPE);
    return te_gnome_set_selection(bus, session, types) && te_bus_process_locked(bus);
}
