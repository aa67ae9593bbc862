#include "fake_desktop.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>

#include "desktops.h"
#include "utf8_codec.h"

namespace {

enum class te_clip_kind { none, non_text, text };

struct te_fake_state {
    std::mutex lock;
    te_clip_kind clip_kind = te_clip_kind::none;
    std::string clip;
    int clip_reads = 0;
    std::uint32_t clip_sequence = 1;
    int sequence_queries = 0;
    // The worker's watch: what it opened, the clipboard sequence it last
    // reported, and a wake-up not yet taken. `watch_changed` is signalled
    // on every clipboard change and wake-up.
    std::condition_variable watch_changed;
    int watch_bits = 0;
    int watch_asked = 0;
    std::uint32_t watch_seen = 0;
    bool wake_pending = false;
    bool has_foreground = false;
    std::string foreground;
    bool foreground_own = false;  // the window in front is the test process's own
    bool keys[256] = {};
    int fail_batch = 0;
    std::function<void(const std::vector<std::uint16_t>&)> hook;
    std::vector<std::vector<std::uint16_t>> batches;
    std::string typed;
    int type_calls = 0;
    bool fixed_time = false;
    std::tm local{};
    bool fixed_millis = false;
    std::uint64_t millis = 0;
    int erased = 0;
    bool key_watch = true;
    std::deque<te_key_event> pressed;
    std::string window;
    std::size_t caret = 0;  // byte offset into window
    int hold_result = TE_HOLD_ON;
    bool holding = false;
    std::deque<te_key_event> held;
};

te_fake_state& te_fake() {
    static te_fake_state s;
    return s;
}

// UTF-8 to UTF-16, malformed input as U+FFFD, as the Windows converter does.
std::vector<std::uint16_t> te_to_utf16(const char* s) {
    std::vector<std::uint16_t> out;
    for (std::uint32_t cp : te_utf8_decode(s)) {
        if (cp >= 0x10000) {
            out.push_back((std::uint16_t)(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back((std::uint16_t)(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back((std::uint16_t)cp);
        }
    }
    return out;
}

void te_append_utf8(std::string& out, const std::vector<std::uint16_t>& u) {
    for (std::size_t i = 0; i < u.size(); i++) {
        std::uint32_t cp = u[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < u.size() && u[i + 1] >= 0xDC00 && u[i + 1] < 0xE000)
            cp = 0x10000 + ((cp - 0xD800) << 10) + (u[++i] - 0xDC00u);
        te_utf8_append(out, cp);
    }
}

// The start of the character before byte `at`.
std::size_t te_char_before(const std::string& w, std::size_t at) {
    std::size_t n = at - 1;
    while (n > 0 && (w[n] & 0xC0) == 0x80) n--;
    return n;
}

// BackSpace `chars` times at the caret. Lock held.
void te_window_erase(te_fake_state& s, int chars) {
    for (; chars > 0 && s.caret > 0; chars--) {
        std::size_t n = te_char_before(s.window, s.caret);
        s.window.erase(n, s.caret - n);
        s.caret = n;
    }
}

// Text typed at the caret. Lock held.
void te_window_insert(te_fake_state& s, const std::string& text) {
    s.window.insert(s.caret, text);
    s.caret += text.size();
}

// A key reaches the window and the key watch. Lock held.
void te_key_arrives_locked(te_fake_state& s, const te_key_event& ev) {
    s.pressed.push_back(ev);
    if (ev.kind == TE_KEY_TEXT || ev.kind == TE_KEY_RESET) te_window_insert(s, ev.text);
    else if (ev.kind == TE_KEY_BACKSPACE) te_window_erase(s, 1);
}

// Every clipboard change goes through here (lock held): it moves the
// sequence on and wakes a worker watching the clipboard.
void te_clip_set_locked(te_fake_state& s, te_clip_kind kind) {
    s.clip_sequence++;
    s.clip_kind = kind;
    s.watch_changed.notify_all();
}

}  // namespace

namespace fake {

void reset() {
    te_fake_state& s = te_fake();
    std::lock_guard<std::mutex> g(s.lock);
    te_clip_set_locked(s, te_clip_kind::none);
    s.clip.clear();
    s.clip_reads = 0;
    s.sequence_queries = 0;
    s.has_foreground = false;
    s.foreground.clear();
    s.foreground_own = false;
    std::memset(s.keys, 0, sizeof s.keys);
    s.fail_batch = 0;
    s.hook = nullptr;
    s.batches.clear();
    s.typed.clear();
    s.type_calls = 0;
    s.fixed_time = false;
    s.fixed_millis = false;
    s.erased = 0;
    s.key_watch = true;
    s.pressed.clear();
    s.window.clear();
    s.caret = 0;
    s.hold_result = TE_HOLD_ON;
    s.holding = false;
    s.held.clear();
}

void set_clipboard_text(const std::string& utf8) {
    std::lock_guard<std::mutex> g(te_fake().lock);
    te_fake().clip = utf8;
    te_clip_set_locked(te_fake(), te_clip_kind::text);
}

void set_clipboard_none() {
    std::lock_guard<std::mutex> g(te_fake().lock);
    te_clip_set_locked(te_fake(), te_clip_kind::none);
}

void set_clipboard_non_text() {
    std::lock_guard<std::mutex> g(te_fake().lock);
    te_clip_set_locked(te_fake(), te_clip_kind::non_text);
}

int clipboard_sequence_queries() {
    std::lock_guard<std::mutex> g(te_fake().lock);
    return te_fake().sequence_queries;
}

int clipboard_reads() {
    std::lock_guard<std::mutex> g(te_fake().lock);
    return te_fake().clip_reads;
}

void set_foreground(const std::string& exe_name) {
    std::lock_guard<std::mutex> g(te_fake().lock);
    te_fake().has_foreground = true;
    te_fake().foreground = exe_name;
}

void set_foreground_own(bool own) {
    std::lock_guard<std::mutex> g(te_fake().lock);
    te_fake().foreground_own = own;
}

void set_no_foreground() {
    std::lock_guard<std::mutex> g(te_fake().lock);
    te_fake().has_foreground = false;
}

void set_key(int vk, bool down) {
    std::lock_guard<std::mutex> g(te_fake().lock);
    te_fake().keys[vk & 255] = down;
}

void fail_injection_at_batch(int n) {
    std::lock_guard<std::mutex> g(te_fake().lock);
    te_fake().fail_batch = n;
}

void on_batch(std::function<void(const std::vector<std::uint16_t>&)> hook) {
    std::lock_guard<std::mutex> g(te_fake().lock);
    te_fake().hook = std::move(hook);
}

std::vector<std::vector<std::uint16_t>> batches() {
    std::lock_guard<std::mutex> g(te_fake().lock);
    return te_fake().batches;
}

std::string typed_text() {
    std::lock_guard<std::mutex> g(te_fake().lock);
    return te_fake().typed;
}

int type_calls() {
    std::lock_guard<std::mutex> g(te_fake().lock);
    return te_fake().type_calls;
}

int erased() {
    std::lock_guard<std::mutex> g(te_fake().lock);
    return te_fake().erased;
}

void set_key_watch(bool available) {
    std::lock_guard<std::mutex> g(te_fake().lock);
    te_fake().key_watch = available;
}

void press(const std::string& keys) {
    std::lock_guard<std::mutex> g(te_fake().lock);
    for (std::size_t i = 0; i < keys.size();) {
        te_key_event ev = {TE_KEY_TEXT, {0}};
        std::size_t n = 1;
        if (keys[i] == '\b') ev.kind = TE_KEY_BACKSPACE;
        else if (keys[i] == '\n') ev.kind = TE_KEY_RESET;
        else if (keys[i] == '\r' || keys[i] == '\t') {
            ev.kind = TE_KEY_RESET;
            ev.text[0] = keys[i] == '\r' ? '\n' : '\t';
        } else {
            while (i + n < keys.size() && (keys[i + n] & 0xC0) == 0x80) n++;
            std::memcpy(ev.text, keys.data() + i, n);
        }
        if (te_fake().holding) te_fake().held.push_back(ev);
        else te_key_arrives_locked(te_fake(), ev);
        i += n;
    }
    te_fake().watch_changed.notify_all();
}

int watch_asked() {
    std::lock_guard<std::mutex> g(te_fake().lock);
    return te_fake().watch_asked;
}

std::string window_text() {
    std::lock_guard<std::mutex> g(te_fake().lock);
    return te_fake().window;
}

std::string window_with_caret() {
    std::lock_guard<std::mutex> g(te_fake().lock);
    return te_fake().window.substr(0, te_fake().caret) + "|" + te_fake().window.substr(te_fake().caret);
}

void set_hold_result(int result) {
    std::lock_guard<std::mutex> g(te_fake().lock);
    te_fake().hold_result = result;
}

void set_local_time(const std::tm& t) {
    std::lock_guard<std::mutex> g(te_fake().lock);
    te_fake().fixed_time = true;
    te_fake().local = t;
}

void set_millis(std::uint64_t ms) {
    std::lock_guard<std::mutex> g(te_fake().lock);
    te_fake().fixed_millis = true;
    te_fake().millis = ms;
}

void set_real_clock() {
    std::lock_guard<std::mutex> g(te_fake().lock);
    te_fake().fixed_time = false;
    te_fake().fixed_millis = false;
}

}  // namespace fake

// ---- The platform functions, answered by the fake desktop --------------

namespace {

// Types the text's UTF-16 units in batches of 100, as the Windows desktop
// does, through the failure switch and the hook. Fake lock held (released
// around the hook).
int te_fake_type(std::unique_lock<std::mutex>& g, const char* text) {
    te_fake_state& s = te_fake();
    std::vector<std::uint16_t> units = te_to_utf16(text);
    int batch_no = 0;
    for (size_t p = 0; p < units.size(); p += 100) {
        size_t b = units.size() - p < 100 ? units.size() - p : 100;
        std::vector<std::uint16_t> batch(units.begin() + (long)p, units.begin() + (long)(p + b));
        batch_no++;
        if (s.fail_batch == batch_no) return -2;
        auto hook = s.hook;
        if (hook) {
            g.unlock();
            hook(batch);
            g.lock();
        }
        s.batches.push_back(batch);
        te_append_utf8(s.typed, batch);
        std::string text;
        te_append_utf8(text, batch);
        te_window_insert(s, text);
    }
    return 0;
}

int te_fake_type_replacing(int erase_count, const char* text, int dry_run) {
    bool has_text = text && text[0];
    if (erase_count <= 0 && !has_text) return -1;
    if (dry_run) return -3;
    te_fake_state& s = te_fake();
    std::unique_lock<std::mutex> g(s.lock);
    if (!s.has_foreground) return -3;
    s.type_calls++;
    if (erase_count > 0) s.erased += erase_count;
    te_window_erase(s, erase_count);
    return has_text ? te_fake_type(g, text) : 0;
}

// Left moves the caret back by one character, Delete removes the one after
// it.
int te_fake_press_key(int key, int count, int dry_run) {
    if ((key != TE_PRESS_LEFT && key != TE_PRESS_DELETE) || count <= 0) return -1;
    if (dry_run) return -3;
    te_fake_state& s = te_fake();
    std::lock_guard<std::mutex> g(s.lock);
    if (!s.has_foreground) return -3;
    for (; count > 0; count--) {
        if (key == TE_PRESS_LEFT && s.caret > 0) s.caret = te_char_before(s.window, s.caret);
        // A text field's caret takes "\r\n" as one line break.
        if (key == TE_PRESS_LEFT && s.caret > 0 && s.window.compare(s.caret - 1, 2, "\r\n") == 0) s.caret--;
        if (key == TE_PRESS_DELETE && s.caret < s.window.size()) {
            std::size_t end = s.caret + 1;
            while (end < s.window.size() && (s.window[end] & 0xC0) == 0x80) end++;
            s.window.erase(s.caret, end - s.caret);
        }
    }
    return 0;
}

// Typing is replacing with nothing to erase.
int te_fake_type_text_utf8(const char* text, int dry_run) { return te_fake_type_replacing(0, text, dry_run); }

int te_fake_watch_next_key(te_key_event* out) {
    std::lock_guard<std::mutex> g(te_fake().lock);
    if (te_fake().pressed.empty()) return 0;
    *out = te_fake().pressed.front();
    te_fake().pressed.pop_front();
    return 1;
}

char* te_fake_get_clipboard_text_utf8(char* out, int size) {
    if (size <= 1) return nullptr;
    out[0] = 0;
    te_fake_state& s = te_fake();
    std::lock_guard<std::mutex> g(s.lock);
    s.clip_reads++;
    if (s.clip_kind != te_clip_kind::text) return nullptr;
    if (s.clip.size() + 1 > (size_t)size) return nullptr;
    std::memcpy(out, s.clip.c_str(), s.clip.size() + 1);
    return out;
}

std::uint32_t te_fake_clipboard_sequence(void) {
    std::lock_guard<std::mutex> g(te_fake().lock);
    te_fake().sequence_queries++;
    return te_fake().clip_sequence;
}

// The fake desktop tells the watching worker of every clipboard change and
// every key pressed (press()) at once.
int te_fake_watch_open(int what) {
    te_fake_state& s = te_fake();
    std::lock_guard<std::mutex> g(s.lock);
    s.watch_asked = what;
    s.watch_bits = what & (s.key_watch ? TE_WATCH_CLIPBOARD | TE_WATCH_KEYS : TE_WATCH_CLIPBOARD);
    s.watch_seen = s.clip_sequence;
    return s.watch_bits;
}

int te_fake_watch_wait(int ms) {
    te_fake_state& s = te_fake();
    std::unique_lock<std::mutex> g(s.lock);
    auto changed = [&s] { return (s.watch_bits & TE_WATCH_CLIPBOARD) && s.watch_seen != s.clip_sequence; };
    auto keys = [&s] { return (s.watch_bits & TE_WATCH_KEYS) && !s.pressed.empty(); };
    s.watch_changed.wait_for(g, std::chrono::milliseconds(ms > 0 ? ms : 0),
                             [&] { return s.wake_pending || changed() || keys(); });
    int bits = keys() ? TE_WATCH_KEYS : 0;
    if (!changed()) {
        s.wake_pending = false;
        return bits;
    }
    s.watch_seen = s.clip_sequence;
    return bits | TE_WATCH_CLIPBOARD;
}

void te_fake_watch_wake(void) {
    std::lock_guard<std::mutex> g(te_fake().lock);
    te_fake().wake_pending = true;
    te_fake().watch_changed.notify_all();
}

void te_fake_watch_close(void) {
    std::lock_guard<std::mutex> g(te_fake().lock);
    te_fake().watch_bits = 0;
    te_fake().pressed.clear();
}

int te_fake_keys_hold_begin(void) {
    std::lock_guard<std::mutex> g(te_fake().lock);
    te_fake().holding = te_fake().hold_result == TE_HOLD_ON;
    return te_fake().hold_result;
}

void te_fake_keys_hold_end(void) {
    te_fake_state& s = te_fake();
    std::lock_guard<std::mutex> g(s.lock);
    s.holding = false;
    for (const te_key_event& ev : s.held) te_key_arrives_locked(s, ev);
    s.held.clear();
    s.watch_changed.notify_all();
}

const char* te_fake_foreground_process_name(char* out, int size) {
    if (size <= 1) return nullptr;
    out[0] = 0;
    te_fake_state& s = te_fake();
    std::lock_guard<std::mutex> g(s.lock);
    if (!s.has_foreground || s.foreground.size() + 1 > (size_t)size) return nullptr;
    for (size_t i = 0; i <= s.foreground.size(); i++) {
        char c = s.foreground[i];
        out[i] = (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
    }
    return out;
}

int te_fake_foreground_is_this_process(void) {
    std::lock_guard<std::mutex> g(te_fake().lock);
    return te_fake().has_foreground && te_fake().foreground_own ? 1 : 0;
}

int te_fake_key_is_down(int vk) {
    std::lock_guard<std::mutex> g(te_fake().lock);
    return te_fake().keys[vk & 255] ? 1 : 0;
}

// Nothing is missing here. (Its own: the test programs link this library
// after the engine's.)
int te_fake_missing(int needs, char* why, int size) {
    (void)needs;
    if (size > 0) why[0] = 0;
    return 0;
}

}  // namespace

const te_desktop te_desktop_fake = {
    "fake",
    te_fake_type_text_utf8,
    te_fake_type_replacing,
    te_fake_press_key,
    te_fake_get_clipboard_text_utf8,
    te_fake_clipboard_sequence,
    te_fake_foreground_process_name,
    te_fake_key_is_down,
    te_fake_watch_open,
    te_fake_watch_wait,
    te_fake_watch_wake,
    te_fake_watch_close,
    te_fake_watch_next_key,
    te_fake_keys_hold_begin,
    te_fake_keys_hold_end,
    te_fake_missing,
    te_fake_foreground_is_this_process,
};

// The only desktop of a test process.
const te_desktop& te_desktop_in_use(void) { return te_desktop_fake; }

std::uint64_t now_millis(void) {
    {
        std::lock_guard<std::mutex> g(te_fake().lock);
        if (te_fake().fixed_millis) return te_fake().millis;
    }
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (std::uint64_t)ts.tv_sec * 1000u + (std::uint64_t)ts.tv_nsec / 1000000u;
}

void now_local(struct tm* out) {
    std::tm t;
    {
        std::lock_guard<std::mutex> g(te_fake().lock);
        t = te_fake().local;
        if (!te_fake().fixed_time) {
            time_t now = time(nullptr);
            localtime_r(&now, &t);
        }
    }
    out->tm_sec = t.tm_sec;
    out->tm_min = t.tm_min;
    out->tm_hour = t.tm_hour;
    out->tm_mday = t.tm_mday;
    out->tm_mon = t.tm_mon;
    out->tm_year = t.tm_year;
    out->tm_wday = t.tm_wday;
}
