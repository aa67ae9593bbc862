#include "time_format.h"

#include <cstring>

#include "engine.h"
#include "case_forms.h"

namespace {

// The output being written, bounded by its capacity.
struct te_sink {
    char* out;
    std::size_t cap;
    std::size_t n = 0;
    bool full = false;

    void put(const char* s, std::size_t len) {
        if (full) return;
        if (n + len > cap) {
            len = te_utf8_cut_len(s, cap - n);
            full = true;
        }
        std::memcpy(out + n, s, len);
        n += len;
    }
    void put(const char* s) { put(s, std::strlen(s)); }
};

struct te_flags {
    char pad = 0;  // 0 as the conversion pads, '-' none, '_' spaces, '0' zeros
    bool upper = false;
    bool alone = false;  // %OB
};

// A number at least `width` digits wide as the conversion pads it (written
// by hand: it is most of what a date costs).
void te_put_number(te_sink& s, const te_flags& flags, long long value, int width, char fill) {
    char buf[32];
    char pad = flags.pad ? flags.pad : fill;
    int w = pad == '-' ? 1 : width;
    unsigned long long u = value < 0 ? 0ULL - (unsigned long long)value : (unsigned long long)value;
    int n = 0;
    do {
        buf[sizeof buf - 1 - n++] = (char)('0' + u % 10);
        u /= 10;
    } while (u);
    bool zeros = pad != '_' && pad != '-';
    while (zeros && n < w - (value < 0)) buf[sizeof buf - 1 - n++] = '0';
    if (value < 0) buf[sizeof buf - 1 - n++] = '-';
    while (pad == '_' && n < w) buf[sizeof buf - 1 - n++] = ' ';
    s.put(buf + sizeof buf - n, (std::size_t)n);
}

void te_put_word(te_sink& s, const te_flags& flags, const char* word) {
    if (!flags.upper) return s.put(word);
    char upper[4 * 48 + 1];
    std::size_t n = te_text_upper(word, std::strlen(word), upper, sizeof upper - 1);
    s.put(upper, n);
}

int te_hour12(const te_moment& m) { return m.hour % 12 == 0 ? 12 : m.hour % 12; }

// The ISO 8601 week (Monday first; week 1 holds the year's first Thursday)
// and the year it belongs to.
void te_iso_week(const te_moment& m, long long* year, int* week) {
    int wday_mon = (m.wday + 6) % 7;                // Monday 0
    int thursday_yday = m.yday - wday_mon + 3;      // this week's Thursday
    *year = m.year;
    if (thursday_yday < 0) {
        *year = m.year - 1;
        bool leap = (*year % 4 == 0 && *year % 100 != 0) || *year % 400 == 0;
        thursday_yday += leap ? 366 : 365;
    } else {
        bool leap = (m.year % 4 == 0 && m.year % 100 != 0) || m.year % 400 == 0;
        int len = leap ? 366 : 365;
        if (thursday_yday >= len) {
            *year = m.year + 1;
            thursday_yday -= len;
        }
    }
    *week = thursday_yday / 7 + 1;
}

// One conversion; false when the letter is not one.
bool te_convert(te_sink& s, const te_flags& flags, char c, const te_moment& m, te_names_source& names);

bool te_convert_names(te_sink& s, const te_flags& flags, char c, const te_moment& m, te_names_source& names) {
    switch (c) {
    case 'a': te_put_word(s, flags, names.names().day_abbr[m.wday]); return true;
    case 'A': te_put_word(s, flags, names.names().day[m.wday]); return true;
    case 'b': case 'h': te_put_word(s, flags, names.names().month_abbr[m.month - 1]); return true;
    case 'B':
        te_put_word(s, flags, flags.alone ? names.names().month_alone[m.month - 1] : names.names().month[m.month - 1]);
        return true;
    case 'p': te_put_word(s, flags, m.hour < 12 ? names.names().am : names.names().pm); return true;
    case 'P': {
        te_flags lower = flags;
        lower.upper = false;
        char word[4 * 24 + 1];
        const char* ampm = m.hour < 12 ? names.names().am : names.names().pm;
        std::size_t n = te_text_lower(ampm, std::strlen(ampm), word, sizeof word - 1);
        word[n] = 0;
        te_put_word(s, lower, word);
        return true;
    }
    default: return false;
    }
}

bool te_convert_numbers(te_sink& s, const te_flags& flags, char c, const te_moment& m) {
    long long iso_year;
    int week;
    switch (c) {
    case 'C': te_put_number(s, flags, m.year / 100, 2, '0'); return true;
    case 'd': te_put_number(s, flags, m.day, 2, '0'); return true;
    case 'e': te_put_number(s, flags, m.day, 2, '_'); return true;
    case 'H': te_put_number(s, flags, m.hour, 2, '0'); return true;
    case 'I': te_put_number(s, flags, te_hour12(m), 2, '0'); return true;
    case 'j': te_put_number(s, flags, m.yday + 1, 3, '0'); return true;
    case 'k': te_put_number(s, flags, m.hour, 2, '_'); return true;
    case 'l': te_put_number(s, flags, te_hour12(m), 2, '_'); return true;
    case 'm': te_put_number(s, flags, m.month, 2, '0'); return true;
    case 'M': te_put_number(s, flags, m.minute, 2, '0'); return true;
    case 'S': te_put_number(s, flags, m.second, 2, '0'); return true;
    case 'u': te_put_number(s, flags, m.wday == 0 ? 7 : m.wday, 1, '0'); return true;
    case 'w': te_put_number(s, flags, m.wday, 1, '0'); return true;
    case 'U': te_put_number(s, flags, (m.yday + 7 - m.wday) / 7, 2, '0'); return true;
    case 'W': te_put_number(s, flags, (m.yday + 7 - (m.wday + 6) % 7) / 7, 2, '0'); return true;
    case 'y': te_put_number(s, flags, ((m.year % 100) + 100) % 100, 2, '0'); return true;
    case 'Y': te_put_number(s, flags, m.year, 4, '0'); return true;
    case 'G': case 'g': case 'V':
        te_iso_week(m, &iso_year, &week);
        if (c == 'V') te_put_number(s, flags, week, 2, '0');
        else if (c == 'G') te_put_number(s, flags, iso_year, 4, '0');
        else te_put_number(s, flags, ((iso_year % 100) + 100) % 100, 2, '0');
        return true;
    default: return false;
    }
}

// The conversions that stand for others.
const char* te_composite(char c) {
    switch (c) {
    case 'D': return "%m/%d/%y";
    case 'F': return "%Y-%m-%d";
    case 'R': return "%H:%M";
    case 'T': return "%H:%M:%S";
    default: return nullptr;
    }
}

bool te_convert(te_sink& s, const te_flags& flags, char c, const te_moment& m, te_names_source& names) {
    if (c == '%') return s.put("%"), true;
    if (c == 'n') return s.put("\n"), true;
    if (c == 't') return s.put("\t"), true;
    if (const char* f = te_composite(c)) {
        char piece[64];
        std::size_t n = te_format_moment(m, f, std::strlen(f), names, piece, sizeof piece);
        s.put(piece, n);
        return true;
    }
    return te_convert_numbers(s, flags, c, m) || te_convert_names(s, flags, c, m, names);
}

}  // namespace

std::size_t te_format_moment(const te_moment& m, const char* fmt, std::size_t fmt_len, te_names_source& names,
                             char* out, std::size_t cap) {
    te_sink s{out, cap};
    std::size_t i = 0;
    while (i < fmt_len && !s.full) {
        std::size_t start = i;
        if (fmt[i] != '%') {
            while (i < fmt_len && fmt[i] != '%') i++;
            s.put(fmt + start, i - start);
            continue;
        }
        te_flags flags;
        for (i++; i < fmt_len && (fmt[i] == '-' || fmt[i] == '_' || fmt[i] == '0' || fmt[i] == '^'); i++) {
            if (fmt[i] == '^') flags.upper = true;
            else flags.pad = fmt[i];
        }
        if (i + 1 < fmt_len && fmt[i] == 'O' && fmt[i + 1] == 'B') {
            flags.alone = true;
            i++;
        }
        if (i < fmt_len && te_convert(s, flags, fmt[i], m, names)) {
            i++;
            continue;
        }
        // Not a conversion: written as it stands, up to the next '%'.
        s.put(fmt + start, i - start);
    }
    return s.n;
}
