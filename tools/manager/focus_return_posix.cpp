// Giving the focus back on X11 (through the window's own X connection) and
// on Wayland (waiting for the compositor).
#include <QGuiApplication>
#include <QThread>
#include <QWindow>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <unistd.h>
#include <xcb/xcb.h>

#include "focus_return.h"

namespace {

const int TE_LOOK_MS = 2;

// Calls `back` every few milliseconds until it says yes or `ms` pass.
template <class F>
bool te_poll(int ms, F back) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        if (back()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(TE_LOOK_MS));
    }
}

class te_x11_focus_return : public te_focus_return {
public:
    explicit te_x11_focus_return(xcb_connection_t* c)
        : m_c(c), m_root(xcb_setup_roots_iterator(xcb_get_setup(c)).data->root), m_active(atom("_NET_ACTIVE_WINDOW")),
          m_check(atom("_NET_SUPPORTING_WM_CHECK")), m_pid(atom("_NET_WM_PID")) {}

    void remember() override {
        m_manager = window_manager_runs();
        m_front = m_manager ? window_property(m_root, m_active) : input_focus();
        if (m_front == XCB_INPUT_FOCUS_POINTER_ROOT) m_front = XCB_NONE;
    }

    void give_back() override {
        if (m_front == XCB_NONE) return;
        if (m_manager) {
            // Source 2: asked for by the user through a pager, which window
            // managers honour without weighing it against focus stealing.
            xcb_client_message_event_t ask;
            std::memset(&ask, 0, sizeof ask);
            ask.response_type = XCB_CLIENT_MESSAGE;
            ask.format = 32;
            ask.window = m_front;
            ask.type = m_active;
            ask.data.data32[0] = 2;
            ask.data.data32[1] = XCB_CURRENT_TIME;
            xcb_send_event(m_c, 0, m_root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char*>(&ask));
        } else {
            xcb_set_input_focus(m_c, XCB_INPUT_FOCUS_PARENT, m_front, XCB_CURRENT_TIME);
        }
        xcb_flush(m_c);
    }

    bool wait_back(int ms) override {
        if (m_front == XCB_NONE) return true;
        // The window manager names the window active before it moves the
        // input focus there: until then the keys would still reach ours.
        return te_poll(ms, [this] {
            xcb_window_t focus = input_focus();
            if (focus == m_front) return true;
            return m_manager && window_property(m_root, m_active) == m_front && !of_this_process(focus);
        });
    }

private:
    xcb_atom_t atom(const char* name) {
        xcb_intern_atom_reply_t* r =
            xcb_intern_atom_reply(m_c, xcb_intern_atom(m_c, 0, (std::uint16_t)std::strlen(name), name), nullptr);
        xcb_atom_t a = r ? r->atom : XCB_NONE;
        std::free(r);
        return a;
    }

    xcb_window_t window_property(xcb_window_t w, xcb_atom_t name) {
        xcb_get_property_reply_t* r =
            xcb_get_property_reply(m_c, xcb_get_property(m_c, 0, w, name, XCB_ATOM_WINDOW, 0, 1), nullptr);
        xcb_window_t out = XCB_NONE;
        if (r && r->format == 32 && xcb_get_property_value_length(r) == 4)
            out = *static_cast<xcb_window_t*>(xcb_get_property_value(r));
        std::free(r);
        return out;
    }

    bool of_this_process(xcb_window_t w) {
        xcb_get_property_reply_t* r =
            xcb_get_property_reply(m_c, xcb_get_property(m_c, 0, w, m_pid, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        bool ours = r && r->format == 32 && xcb_get_property_value_length(r) == 4 &&
                    *static_cast<std::uint32_t*>(xcb_get_property_value(r)) == (std::uint32_t)getpid();
        std::free(r);
        return ours;
    }

    xcb_window_t input_focus() {
        xcb_get_input_focus_reply_t* r = xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr);
        xcb_window_t out = r ? r->focus : XCB_NONE;
        std::free(r);
        return out;
    }

    // A window manager runs when the root names a check window that names
    // itself (one that stopped leaves the root's property behind).
    bool window_manager_runs() {
        xcb_window_t check = window_property(m_root, m_check);
        return check != XCB_NONE && window_property(check, m_check) == check;
    }

    xcb_connection_t* m_c;
    xcb_window_t m_root;
    xcb_atom_t m_active;
    xcb_atom_t m_check;
    xcb_atom_t m_pid;
    xcb_window_t m_front = XCB_NONE;
    bool m_manager = false;
};

class te_wayland_focus_return : public te_focus_return {
public:
    te_wayland_focus_return()
        : m_follow(QObject::connect(qApp, &QGuiApplication::focusWindowChanged, qApp,
                                    [this](QWindow* w) { m_ours = w != nullptr; })) {}
    ~te_wayland_focus_return() override { QObject::disconnect(m_follow); }
    void remember() override {}
    void give_back() override {}
    // The compositor gives the keyboard back once it has taken it from this
    // program's windows; past the bound the keys go where it put them.
    bool wait_back(int ms) override {
        te_poll(ms, [this] { return !m_ours.load(); });
        return true;
    }

private:
    std::atomic<bool> m_ours{true};  // a window of this program has the keyboard
    QMetaObject::Connection m_follow;
};

}  // namespace

std::unique_ptr<te_focus_return> te_focus_return::make() {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 && x11->connection()) return std::unique_ptr<te_focus_return>(new te_x11_focus_return(x11->connection()));
    return std::unique_ptr<te_focus_return>(new te_wayland_focus_return);
}
