// A desktop with no display: no clipboard text, no program in front, no
// keys held, no watch, and typing that has nowhere to go.
#include "platform.h"

#include <condition_variable>
#include <chrono>
#include <mutex>

int type_text_utf8(const char* text, int dry_run) {
    if (!text || !text[0]) return -1;
    (void)dry_run;
    return -3;
}

int type_replacing(int erase_count, const char* text, int dry_run) {
    (void)dry_run;
    return erase_count <= 0 && (!text || !text[0]) ? -1 : -3;
}

// Nothing to watch: every wait just sleeps (or is woken).
int watch_open(int what) {
    (void)what;
    return 0;
}

char* get_clipboard_text_utf8(char* out, int size) {
    if (size <= 1) return nullptr;
    out[0] = 0;
    return nullptr;
}

std::uint32_t clipboard_sequence(void) { return 0; }

const char* foreground_process_name(char* out, int size) {
    if (size <= 1) return nullptr;
    out[0] = 0;
    return nullptr;
}

int key_is_down(int vk) {
    (void)vk;
    return 0;
}

namespace {

// te_wake_lock guards te_woken, which watch_wake sets and watch_wait clears.
std::mutex te_wake_lock;
std::condition_variable te_wake_changed;
bool te_woken = false;

}  // namespace

int watch_wait(int ms) {
    std::unique_lock<std::mutex> g(te_wake_lock);
    te_wake_changed.wait_for(g, std::chrono::milliseconds(ms), [] { return te_woken; });
    te_woken = false;
    return 0;
}

void watch_wake(void) {
    std::lock_guard<std::mutex> g(te_wake_lock);
    te_woken = true;
    te_wake_changed.notify_all();
}

int watch_next_key(te_key_event* out) {
    (void)out;
    return 0;
}

void watch_close(void) {}
