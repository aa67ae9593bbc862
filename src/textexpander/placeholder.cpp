#include "placeholder.h"

#include <cstring>

namespace {

bool te_is(const char* name, std::size_t len, const char* want) {
    return std::strlen(want) == len && std::memcmp(name, want, len) == 0;
}

bool te_starts(const char* name, std::size_t len, const char* want) {
    std::size_t n = std::strlen(want);
    return len >= n && std::memcmp(name, want, n) == 0;
}

// The offset at s[0..len) ("+14d"), its length in *used; false when it is
// not one.
bool te_offset_of(const char* s, std::size_t len, bool is_time, te_placeholder* p, std::size_t* used) {
    if (len < 3 || (s[0] != '+' && s[0] != '-')) return false;
    std::size_t digits = 1;
    long amount = 0;
    while (digits < len && s[digits] >= '0' && s[digits] <= '9' && digits <= 5) amount = amount * 10 + (s[digits++] - '0');
    if (digits == 1 || digits > 6 || digits >= len) return false;
    char unit = s[digits];
    static const char date_units[] = "dwmy", time_units[] = "mh";
    const char* units = is_time ? time_units : date_units;
    const char* at = std::strchr(units, unit);
    if (!unit || !at) return false;
    static const te_offset_unit date_of[] = {TE_DAYS, TE_WEEKS, TE_MONTHS, TE_YEARS};
    static const te_offset_unit time_of[] = {TE_MINUTES, TE_HOURS};
    p->unit = is_time ? time_of[at - units] : date_of[at - units];
    p->amount = s[0] == '-' ? -amount : amount;
    *used = digits + 1;
    return true;
}

te_placeholder te_moment_of_name(const char* name, std::size_t len, bool is_time) {
    te_placeholder p = {};
    p.is_time = is_time;
    std::size_t at = 4, used = 0;  // after "date" or "time"
    if (at < len && name[at] != ':') {
        if (!te_offset_of(name + at, len - at, is_time, &p, &used)) return te_placeholder{};
        at += used;
    }
    if (at < len) {  // ':' and the format
        if (name[at] != ':') return te_placeholder{};
        const char* format = name + at + 1;
        std::size_t format_len = len - at - 1;
        if (format_len == 0 || std::memchr(format, '{', format_len)) return te_placeholder{};
        p.format = format;
        p.format_len = format_len;
    }
    p.kind = TE_PH_MOMENT;
    return p;
}

}  // namespace

te_placeholder te_placeholder_of(const char* name, std::size_t len) {
    te_placeholder p = {};
    if (te_starts(name, len, "snippet:") && len > 8 && len <= TE_SNIPPET_NAME_MAX) {
        p.kind = TE_PH_SNIPPET;
        p.trigger = name + 8;
        p.trigger_len = len - 8;
        return p;
    }
    if (len > TE_NAME_MAX) return p;
    if (te_is(name, len, "date")) p.kind = TE_PH_DATE;
    else if (te_is(name, len, "time")) p.kind = TE_PH_TIME;
    else if (te_is(name, len, "year")) p.kind = TE_PH_YEAR;
    else if (te_is(name, len, "clipboard")) p.kind = TE_PH_CLIPBOARD;
    else if (te_is(name, len, "random6")) p.kind = TE_PH_RANDOM;
    else if (te_is(name, len, "cursor")) p.kind = TE_PH_CURSOR;
    else if (len > 4 && (te_starts(name, len, "date") || te_starts(name, len, "time")))
        p = te_moment_of_name(name, len, name[0] == 't');
    return p;
}
