// Rendering a template. It is scanned once; every byte that is not part of
// a placeholder, and every brace that opens none, is copied unchanged. A
// snippet put in with {snippet:...} is scanned the same way, into the same
// output.
#include "render.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "engine.h"
#include "moment.h"
#include "placeholder.h"
#include "textexpander.h"
#include "time_format.h"

namespace {

// The snippets being put in, one level each.
struct te_nest_area {
    char text[TE_NEST_MAX][TE_TEXT_CAP];
    char trigger[TE_NEST_MAX][TE_TRIGGER_CAP];
    char locale[TE_NEST_MAX][TE_LOCALE_CAP];
};

// The large per-call areas live on the heap, one set per thread; the
// nesting area only once a thread puts a snippet into another.
struct te_render_area {
    char clipboard[TE_CLIPBOARD_CAP];
    char out[TE_RESULT_CAP];
    std::unique_ptr<te_nest_area> nest;
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

// Month and day names by locale, kept per thread: a locale's are read from
// the system once, and a rendering that writes no name reads none.
struct te_names_entry {
    char locale[TE_LOCALE_CAP];
    bool valid;
    te_time_names names;
};
thread_local te_names_entry tl_names[2];

const te_time_names& te_names_of(const char* locale) {
    for (te_names_entry& e : tl_names)
        if (e.valid && std::strcmp(e.locale, locale) == 0) return e.names;
    tl_names[1] = tl_names[0];  // the one used longer ago goes
    te_names_entry& slot = tl_names[0];
    // A locale this system does not know (a store written elsewhere): the
    // user's names.
    if (!time_names(locale, &slot.names)) time_names("", &slot.names);
    std::strcpy(slot.locale, locale);
    slot.valid = true;
    return slot.names;
}

struct te_lazy_names : te_names_source {
    const char* locale;
    explicit te_lazy_names(const char* l) : locale(l) {}
    const te_time_names& names() override { return te_names_of(locale); }
};

// What one rendering call knows before it scans.
struct te_render_inputs {
    const char* clipboard;  // null when there is no clipboard text
    std::size_t clipboard_len;
    te_moment now;
    char date[32], time[32], year[16];
};

void te_render_inputs_read(te_render_inputs* in, char* clip_area) {
    in->clipboard = get_clipboard_text_utf8(clip_area, TE_CLIPBOARD_CAP);
    in->clipboard_len = in->clipboard ? std::strlen(in->clipboard) : 0;
    struct tm t;
    std::memset(&t, 0, sizeof t);
    now_local(&t);
    in->now = te_moment_of(t);
    std::snprintf(in->date, sizeof in->date, "%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
    std::snprintf(in->time, sizeof in->time, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
    std::snprintf(in->year, sizeof in->year, "%04d", t.tm_year + 1900);
}

// One rendering in progress.
struct te_render_ctx {
    te_render_area* area;
    const te_render_inputs* in;
    std::size_t n = 0;
    bool full = false;  // the output ended before the template did
    std::size_t caret = TE_NO_CARET;
    const char* stack[TE_NEST_MAX + 1];  // the triggers being rendered
    int depth = 0;
    std::size_t budget = TE_NEST_BUDGET;
};

// Appends a placeholder's text, or stops the rendering before it when it
// does not fit.
void te_put(te_render_ctx& c, const char* text, std::size_t len) {
    if (c.n + len > TE_RENDER_MAX) {
        c.full = true;
        return;
    }
    std::memcpy(c.area->out + c.n, text, len);
    c.n += len;
}

// Appends plain bytes, as many as fit.
void te_put_plain(te_render_ctx& c, const char* text, std::size_t len) {
    if (len > TE_RENDER_MAX - c.n) {
        len = TE_RENDER_MAX - c.n;
        c.full = true;
    }
    std::memcpy(c.area->out + c.n, text, len);
    c.n += len;
}

void te_put_moment(te_render_ctx& c, const te_placeholder& ph, const char* locale) {
    te_moment m = ph.amount ? te_moment_add(c.in->now, ph.amount, ph.unit) : c.in->now;
    char text[2048];
    // Without a format: as {date} and {time} are written.
    const char* format = ph.format ? ph.format : ph.is_time ? "%H:%M:%S" : "%Y-%m-%d";
    std::size_t format_len = ph.format ? ph.format_len : 8;
    te_lazy_names names(locale);
    std::size_t len = te_format_moment(m, format, format_len, names, text, sizeof text);
    te_put(c, text, len);
}

void te_scan(te_render_ctx& c, const char* tmpl, const char* locale);

// Takes the snippet a {snippet:...} names out of the table into this
// level's area. False when it is not to be put in.
bool te_nest_take(te_render_ctx& c, const te_placeholder& ph, const char* outer_locale) {
    if (c.depth >= TE_NEST_MAX || ph.trigger_len >= TE_TRIGGER_CAP) return false;
    if (!c.area->nest) c.area->nest.reset(new (std::nothrow) te_nest_area);
    if (!c.area->nest) return false;
    te_nest_area& a = *c.area->nest;
    char* trigger = a.trigger[c.depth];
    std::memcpy(trigger, ph.trigger, ph.trigger_len);
    trigger[ph.trigger_len] = 0;
    for (int i = 0; i <= c.depth; i++)
        if (c.stack[i] && std::strcmp(c.stack[i], trigger) == 0) return false;  // a cycle
    te_engine_guard g(te_engine_lock);
    te_load_defaults();
    int index = te_snippet_find(trigger);
    if (index < 0) return false;
    const TeSnippet& s = E.snippets[index];
    std::size_t len = std::strlen(s.text);
    if (len > c.budget) return false;
    c.budget -= len;
    std::memcpy(a.text[c.depth], s.text, len + 1);
    std::strcpy(a.locale[c.depth], s.locale[0] ? s.locale : outer_locale);
    return true;
}

bool te_nest(te_render_ctx& c, const te_placeholder& ph, const char* outer_locale) {
    if (!te_nest_take(c, ph, outer_locale)) return false;
    te_nest_area& a = *c.area->nest;
    int level = c.depth++;
    c.stack[c.depth] = a.trigger[level];
    te_scan(c, a.text[level], a.locale[level]);
    c.depth--;
    return true;
}

// Writes the placeholder the name asks for; false when it is none (or a
// {cursor} after the first, or {clipboard} without clipboard text).
bool te_placeholder_put(te_render_ctx& c, const char* name, std::size_t len, const char* locale) {
    te_placeholder ph = te_placeholder_of(name, len);
    char scratch[16];
    switch (ph.kind) {
    case TE_PH_DATE: te_put(c, c.in->date, std::strlen(c.in->date)); return true;
    case TE_PH_TIME: te_put(c, c.in->time, std::strlen(c.in->time)); return true;
    case TE_PH_YEAR: te_put(c, c.in->year, std::strlen(c.in->year)); return true;
    case TE_PH_CLIPBOARD:
        if (!c.in->clipboard) return false;
        te_put(c, c.in->clipboard, c.in->clipboard_len);
        return true;
    case TE_PH_RANDOM:  // drawn whether or not it then fits
        te_put(c, scratch, (std::size_t)std::snprintf(scratch, sizeof scratch, "%06u", (unsigned)te_random_next()));
        return true;
    case TE_PH_CURSOR:
        if (c.caret != TE_NO_CARET) return false;
        c.caret = c.n;
        return true;
    case TE_PH_MOMENT: te_put_moment(c, ph, locale); return true;
    case TE_PH_SNIPPET: return te_nest(c, ph, locale);
    default: return false;
    }
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
// next '}' is: everything when none is left, else every byte more than the
// longest name before it (a '{' there is too far from it to open a
// placeholder).
std::size_t te_literal_run(const char* p, const char* close, bool none_left) {
    if (none_left) return std::strlen(p);
    std::size_t dist = (std::size_t)(close - p);
    return dist > TE_SNIPPET_NAME_MAX + 1 ? dist - (TE_SNIPPET_NAME_MAX + 1) : 1;
}

void te_scan(te_render_ctx& c, const char* tmpl, const char* locale) {
    te_close_finder finder;
    const char* p = tmpl;
    while (*p && !c.full) {
        if (*p != '{') {  // plain bytes up to the next '{'
            std::size_t run = std::strcspn(p, "{");
            te_put_plain(c, p, run);
            p += run;
            continue;
        }
        const char* close = finder.after(p);
        if (close && (std::size_t)(close - p - 1) <= TE_SNIPPET_NAME_MAX &&
            te_placeholder_put(c, p + 1, (std::size_t)(close - p - 1), locale)) {
            p = close + 1;
            continue;
        }
        te_put_plain(c, p, te_literal_run(p, close, finder.none_left));
        p += te_literal_run(p, close, finder.none_left);
    }
    if (*p) c.full = true;
}

}  // namespace

int te_render_run(const te_render_job& job, te_rendering* out) {
    te_render_area* area = te_render_area_get();
    if (!area) return 0;
    te_render_inputs in;
    te_render_inputs_read(&in, area->clipboard);
    te_render_ctx c;
    c.area = area;
    c.in = &in;
    c.stack[0] = job.trigger;
    te_scan(c, job.tmpl, job.locale ? job.locale : "");
    // Cut inside plain text: never end in part of a character.
    std::size_t len = c.full ? te_utf8_trim_partial(area->out, c.n) : c.n;
    area->out[len] = 0;
    out->text = area->out;
    out->len = len;
    out->caret = c.caret != TE_NO_CARET && c.caret > len ? len : c.caret;
    return 1;
}

void te_random_seed_set(std::uint32_t seed) { te_seed.store(seed); }

extern "C" const char* te_render(const char* tmpl) {
    char locale[TE_LOCALE_CAP];
    {
        te_engine_guard g(te_engine_lock);
        if (!tmpl) {
            te_set_err_internal("render: null template");
            return nullptr;
        }
        std::strcpy(locale, E.locale);
    }
    te_rendering r;
    if (!te_render_run(te_render_job{tmpl, locale, nullptr}, &r)) return nullptr;
    return te_tb_internal_n(r.text, r.len);
}
