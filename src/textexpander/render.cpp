// {date} {time} {year} {clipboard} {random6} in a template. The template is
// scanned once; every other byte, and every brace that opens no known
// placeholder, is copied unchanged.
#include "render.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "engine.h"
#include "textexpander.h"

namespace {

const std::size_t TE_NAME_MAX = 63;

// The large per-call areas live on the heap, one set per thread.
struct te_render_area {
    char clipboard[TE_CLIPBOARD_CAP];
    char out[TE_RESULT_CAP];
};
thread_local std::unique_ptr<te_render_area> tl_render_area;

te_render_area* te_render_area_get(void) {
    if (!tl_render_area) tl_render_area.reset(new (std::nothrow) te_render_area);
    return tl_render_area.get();
}

// Shared by every thread; each step is one atomic update, so two threads
// never draw the same value.
std::atomic<std::uint32_t> te_seed{0};

std::uint32_t te_random_next(void) {
    std::uint32_t cur = te_seed.load(), next;
    do {
        std::uint32_t s = cur ? cur : (std::uint32_t)now_millis();
        next = s * 1103515245u + 12345u;
    } while (!te_seed.compare_exchange_weak(cur, next));
    return next >> 16;
}

// What one rendering call knows before it scans.
struct te_render_inputs {
    const char* clipboard;  // null when there is no clipboard text
    std::size_t clipboard_len;
    char date[32], time[32], year[16];
};

void te_render_inputs_read(te_render_inputs* in, char* clip_area) {
    in->clipboard = get_clipboard_text_utf8(clip_area, TE_CLIPBOARD_CAP);
    in->clipboard_len = in->clipboard ? std::strlen(in->clipboard) : 0;
    struct tm t;
    std::memset(&t, 0, sizeof t);
    now_local(&t);
    std::snprintf(in->date, sizeof in->date, "%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
    std::snprintf(in->time, sizeof in->time, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
    std::snprintf(in->year, sizeof in->year, "%04d", t.tm_year + 1900);
}

bool te_name_is(const char* name, std::size_t len, const char* want) {
    return std::strlen(want) == len && std::memcmp(name, want, len) == 0;
}

// The replacement for a placeholder name, or false when the name is none
// of the five (or {clipboard} without clipboard text). {random6} draws its
// value here, whether or not it then fits.
bool te_replacement(const te_render_inputs& in, const char* name, std::size_t len, char* scratch,
                    const char** text, std::size_t* text_len) {
    const char* fixed = nullptr;
    if (te_name_is(name, len, "date")) fixed = in.date;
    else if (te_name_is(name, len, "time")) fixed = in.time;
    else if (te_name_is(name, len, "year")) fixed = in.year;
    if (fixed) {
        *text = fixed;
        *text_len = std::strlen(fixed);
        return true;
    }
    if (te_name_is(name, len, "clipboard") && in.clipboard) {
        *text = in.clipboard;
        *text_len = in.clipboard_len;
        return true;
    }
    if (te_name_is(name, len, "random6")) {
        *text_len = (std::size_t)std::snprintf(scratch, 16, "%06u", (unsigned)te_random_next());
        *text = scratch;
        return true;
    }
    return false;
}

// Finds the first '}' after position p. `close` remembers the last answer,
// so the whole scan stays linear however many '{' there are.
struct te_close_finder {
    const char* close = nullptr;
    bool none_left = false;

    const char* after(const char* p) {
        if (none_left) return nullptr;
        if (!close || close <= p) close = std::strchr(p + 1, '}');
        if (!close) none_left = true;
        return close;
    }
};

// How many bytes from p on are plain text for certain because of where the
// next '}' is: everything when none is left, else every byte more than 63
// bytes before it (a '{' there is too far from it to open a placeholder).
std::size_t te_literal_run(const char* p, const char* close, bool none_left) {
    if (none_left) return std::strlen(p);
    std::size_t dist = (std::size_t)(close - p);
    return dist > TE_NAME_MAX + 1 ? dist - (TE_NAME_MAX + 1) : 1;
}

std::size_t te_render_scan(const char* tmpl, const te_render_inputs& in, char* out) {
    te_close_finder finder;
    char scratch[16];
    std::size_t n = 0;
    const char* p = tmpl;
    while (*p && n < TE_RENDER_MAX) {
        if (*p != '{') {  // plain bytes up to the next '{'
            std::size_t run = std::strcspn(p, "{");
            if (run > TE_RENDER_MAX - n) run = TE_RENDER_MAX - n;
            std::memcpy(out + n, p, run);
            n += run;
            p += run;
            continue;
        }
        const char* close = finder.after(p);
        const char* rep;
        std::size_t rep_len;
        if (close && (std::size_t)(close - p - 1) <= TE_NAME_MAX &&
            te_replacement(in, p + 1, (std::size_t)(close - p - 1), scratch, &rep, &rep_len)) {
            if (n + rep_len > TE_RENDER_MAX) return n;  // stops before what does not fit
            std::memcpy(out + n, rep, rep_len);
            n += rep_len;
            p = close + 1;
            continue;
        }
        std::size_t run = te_literal_run(p, close, finder.none_left);
        if (run > TE_RENDER_MAX - n) run = TE_RENDER_MAX - n;
        std::memcpy(out + n, p, run);
        n += run;
        p += run;
    }
    // Cut inside plain text: never end in part of a character.
    return *p ? te_utf8_trim_partial(out, n) : n;
}

}  // namespace

const char* te_render_text(const char* tmpl, std::size_t* len) {
    te_render_area* area = te_render_area_get();
    if (!area) return nullptr;
    te_render_inputs in;
    te_render_inputs_read(&in, area->clipboard);
    *len = te_render_scan(tmpl, in, area->out);
    area->out[*len] = 0;
    return area->out;
}

void te_random_seed_set(std::uint32_t seed) { te_seed.store(seed); }

extern "C" const char* te_render(const char* tmpl) {
    if (!tmpl) {
        te_engine_guard g(te_engine_lock);
        te_set_err_internal("render: null template");
        return nullptr;
    }
    std::size_t len;
    const char* text = te_render_text(tmpl, &len);
    return text ? te_tb_internal_n(text, len) : nullptr;
}
