// The script is loaded once per process under a name of its own, and
// unloaded when the process ends. It reports right away, so the first
// answer is there after one short wait.
#include "kwin_front.h"

#include "platform.h"
#include "session_bus.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <systemd/sd-bus.h>
#include <unistd.h>

namespace {

const char* const TE_PATH = "/org/velmora/te/Front";
const char* const TE_IFACE = "org.velmora.te.Front";
const int TE_FIRST_REPORT_MS = 500;

// Under te_bus_lock.
struct te_front {
    std::uint64_t generation = 0;  // of the connection the script reports to
    bool loaded = false;
    bool reported = false;
    std::string window_class;
    bool active = false;
    std::string plugin;
    std::string file;  // the script, read by KWin on a thread of its own
    sd_bus_slot* slot = nullptr;
};
te_front te_fr;

int te_on_call(sd_bus_message* m, void*, sd_bus_error*) {
    if (!sd_bus_message_is_method_call(m, TE_IFACE, "Active")) return 0;
    const char* cls = nullptr;
    int active = 0;
    if (sd_bus_message_read(m, "sb", &cls, &active) >= 0) {
        te_fr.window_class = cls ? cls : "";
        te_fr.active = active != 0;
        te_fr.reported = true;
    }
    return sd_bus_reply_method_return(m, "");
}

std::string te_script(const char* me) {
    return std::string("function report(w) {\n"
                       "    callDBus(\"") + me + "\", \"" + TE_PATH + "\", \"" + TE_IFACE + "\", \"Active\",\n"
           "             w ? String(w.resourceClass) : \"\", w ? true : false);\n"
           "}\n"
           "workspace.clientActivated.connect(report);\n"
           "report(workspace.activeClient);\n";
}

// A file the script is loaded from; KWin reads it at once.
std::string te_write_script(const std::string& text) {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    std::string path = std::string(dir && dir[0] ? dir : "/tmp") + "/velmora-te-front-XXXXXX.js";
    int fd = mkstemps(&path[0], 3);
    if (fd < 0) return "";
    bool ok = write(fd, text.data(), text.size()) == (ssize_t)text.size();
    close(fd);
    return ok ? path : "";
}


int te_send_start(sd_bus* bus) {
    sd_bus_message* m = nullptr;
    int r = sd_bus_message_new_method_call(bus, &m, "org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting", "start");
    if (r >= 0) r = sd_bus_message_set_expect_reply(m, 0);
    if (r >= 0) r = sd_bus_send(bus, m, nullptr);
    sd_bus_message_unref(m);
    return r;
}

bool te_load(sd_bus* bus) {
    const char* me = nullptr;
    if (sd_bus_get_unique_name(bus, &me) < 0) return false;
    if (sd_bus_add_object(bus, &te_fr.slot, TE_PATH, te_on_call, nullptr) < 0) return false;
    std::string file = te_write_script(te_script(me));
    if (file.empty()) return false;
    te_fr.file = file;
    te_fr.plugin = "velmora-te-front-" + std::to_string(getpid());
    sd_bus_message* reply = nullptr;
    int r = sd_bus_call_method(bus, "org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting", "loadScript", nullptr,
                               &reply, "ss", file.c_str(), te_fr.plugin.c_str());
    int id = -1;
    if (r >= 0) sd_bus_message_read(reply, "i", &id);
    sd_bus_message_unref(reply);
    // The script calls this process while it starts: the start is not
    // waited for, or each would wait for the other.
    if (id >= 0) r = te_send_start(bus);
    return id >= 0 && r >= 0;
}

// KWin has read the script once it has reported.
void te_remove_file() {
    if (!te_fr.file.empty()) unlink(te_fr.file.c_str());
    te_fr.file.clear();
}

void te_unload() {
    std::lock_guard<std::mutex> hold(te_bus_lock);
    if (!te_fr.loaded) return;
    sd_bus* bus = te_bus_locked();
    if (bus && te_bus_generation() == te_fr.generation)
        sd_bus_call_method(bus, "org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting", "unloadScript", nullptr,
                           nullptr, "s", te_fr.plugin.c_str());
    te_fr.loaded = false;
    te_remove_file();
}

// Unloads the script when the process ends.
struct te_unloader {
    ~te_unloader() { te_unload(); }
};

// With te_bus_lock held: the script reporting to this connection.
bool te_ensure_loaded(sd_bus* bus) {
    static te_unloader at_exit;
    if (te_fr.loaded && te_fr.generation == te_bus_generation()) return true;
    te_fr.slot = sd_bus_slot_unref(te_fr.slot);
    te_fr.reported = false;
    te_fr.loaded = te_load(bus);
    te_fr.generation = te_bus_generation();
    return te_fr.loaded;
}

}  // namespace

int te_kde_front_class(std::string* out) {
    std::lock_guard<std::mutex> hold(te_bus_lock);
    sd_bus* bus = te_bus_locked();
    if (!bus || !te_ensure_loaded(bus)) return -1;
    std::uint64_t end = now_millis() + TE_FIRST_REPORT_MS;
    for (;;) {
        if (!te_bus_process_locked(bus)) return -1;
        if (te_fr.reported || now_millis() >= end) break;
        sd_bus_wait(bus, 10000);
    }
    if (!te_fr.reported) return -1;
    te_remove_file();
    if (!te_fr.active) return 0;
    *out = te_fr.window_class;
    return 1;
}
