// Calendar words from the C library's locales (nl_langinfo_l), always in
// UTF-8 whatever codeset the locale's name asks for.
#include "english_names.h"
#include "platform.h"

#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <locale.h>
#include <string>

namespace {

// The locale the user's environment names for dates, or null.
const char* te_user_locale_name(void) {
    for (const char* var : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* v = std::getenv(var);
        if (v && v[0]) return v;
    }
    return nullptr;
}

bool te_is_c_locale(const char* name) {
    return std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 || std::strncmp(name, "C.", 2) == 0;
}

// "de-DE", "de_DE.ISO-8859-1@euro": the UTF-8 locale of that language and
// territory (with its modifier), or 0 when the system has none.
locale_t te_open_utf8(const char* name) {
    std::string s(name);
    for (char& c : s)
        if (c == '-') c = '_';
    std::size_t at = s.find('@');
    std::string modifier = at == std::string::npos ? "" : s.substr(at);
    std::string base = s.substr(0, std::min(at, s.find('.')));
    if (base.empty() || base.find('/') != std::string::npos) return (locale_t)0;
    for (const char* codeset : {".UTF-8", ".utf8"}) {
        // With its LC_CTYPE, whose codeset is the one asked about.
        locale_t loc = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, (base + codeset + modifier).c_str(), (locale_t)0);
        if (loc && std::strcmp(nl_langinfo_l(CODESET, loc), "UTF-8") == 0) return loc;
        if (loc) freelocale(loc);
    }
    return (locale_t)0;
}

void te_read_names(locale_t loc, te_time_names* out) {
    for (int i = 0; i < 12; i++) {
        te_time_word(out->month[i], sizeof out->month[i], nl_langinfo_l((nl_item)(MON_1 + i), loc));
#ifdef ALTMON_1
        te_time_word(out->month_alone[i], sizeof out->month_alone[i], nl_langinfo_l((nl_item)(ALTMON_1 + i), loc));
#else
        std::strcpy(out->month_alone[i], out->month[i]);
#endif
        te_time_word(out->month_abbr[i], sizeof out->month_abbr[i], nl_langinfo_l((nl_item)(ABMON_1 + i), loc));
    }
    for (int i = 0; i < 7; i++) {
        te_time_word(out->day[i], sizeof out->day[i], nl_langinfo_l((nl_item)(DAY_1 + i), loc));
        te_time_word(out->day_abbr[i], sizeof out->day_abbr[i], nl_langinfo_l((nl_item)(ABDAY_1 + i), loc));
    }
    te_time_word(out->am, sizeof out->am, nl_langinfo_l(AM_STR, loc));
    te_time_word(out->pm, sizeof out->pm, nl_langinfo_l(PM_STR, loc));
}

}  // namespace

int time_names(const char* locale, te_time_names* out) {
    bool user = !locale || !locale[0];
    const char* name = user ? te_user_locale_name() : locale;
    if (!name || te_is_c_locale(name)) {
        te_english_time_names(out);
        return 1;
    }
    locale_t loc = te_open_utf8(name);
    if (!loc) {
        if (!user) return 0;
        te_english_time_names(out);  // the environment names a locale this system lacks
        return 1;
    }
    te_read_names(loc, out);
    freelocale(loc);
    return 1;
}
