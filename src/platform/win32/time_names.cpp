// Calendar words from the Windows locale database (GetLocaleInfoEx), for
// the user's locale or one named as "de-DE" or "de_DE".
#include "english_names.h"
#include "platform.h"
#include "text_convert.h"

#include <cstring>
#include <string>

namespace {

bool te_is_c_locale(const char* name) {
    return std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 || std::strncmp(name, "C.", 2) == 0;
}

// "de_DE.UTF-8@euro" as Windows names it: "de-DE". False when it is no
// locale Windows knows.
bool te_windows_name(const char* name, std::wstring* out) {
    std::string s(name);
    s = s.substr(0, std::min(s.find('.'), s.find('@')));
    for (char& c : s)
        if (c == '_') c = '-';
    return !s.empty() && te_utf8_to_wide(s.c_str(), *out) && IsValidLocaleName(out->c_str());
}

void te_info_word(const wchar_t* locale, LCTYPE type, char* field, std::size_t cap) {
    wchar_t wide[64];
    char utf8[192];
    bool ok = GetLocaleInfoEx(locale, type, wide, 64) > 0 && te_wide_to_utf8(wide, utf8, (int)sizeof utf8);
    te_time_word(field, cap, ok ? utf8 : "");
}

// The month as it follows a day number: Windows writes it so in a date
// made with "d MMMM" (the genitive of Slavic and Baltic languages).
void te_month_after_day(const wchar_t* locale, int month, char* field, std::size_t cap) {
    SYSTEMTIME st = {};
    st.wYear = 2001;
    st.wMonth = (WORD)(month + 1);
    st.wDay = 15;
    wchar_t wide[64];
    char utf8[192];
    if (GetDateFormatEx(locale, 0, &st, L"d MMMM", wide, 64, nullptr) > 0 && wcsncmp(wide, L"15 ", 3) == 0 &&
        te_wide_to_utf8(wide + 3, utf8, (int)sizeof utf8))
        te_time_word(field, cap, utf8);
}

void te_read_names(const wchar_t* loc, te_time_names* out) {
    for (int i = 0; i < 12; i++) {
        te_info_word(loc, LOCALE_SMONTHNAME1 + i, out->month_alone[i], sizeof out->month_alone[i]);
        std::strcpy(out->month[i], out->month_alone[i]);
        te_month_after_day(loc, i, out->month[i], sizeof out->month[i]);
        te_info_word(loc, LOCALE_SABBREVMONTHNAME1 + i, out->month_abbr[i], sizeof out->month_abbr[i]);
    }
    // Windows counts the days from Monday.
    for (int i = 0; i < 7; i++) {
        int from_monday = (i + 6) % 7;
        te_info_word(loc, LOCALE_SDAYNAME1 + from_monday, out->day[i], sizeof out->day[i]);
        te_info_word(loc, LOCALE_SABBREVDAYNAME1 + from_monday, out->day_abbr[i], sizeof out->day_abbr[i]);
    }
    te_info_word(loc, LOCALE_S1159, out->am, sizeof out->am);
    te_info_word(loc, LOCALE_S2359, out->pm, sizeof out->pm);
}

}  // namespace

int time_names(const char* locale, te_time_names* out) {
    if (locale && locale[0] && te_is_c_locale(locale)) {
        te_english_time_names(out);
        return 1;
    }
    std::wstring name;
    if (locale && locale[0]) {
        if (!te_windows_name(locale, &name)) return 0;
    } else {
        wchar_t user[LOCALE_NAME_MAX_LENGTH];
        if (GetUserDefaultLocaleName(user, LOCALE_NAME_MAX_LENGTH) <= 0) {
            te_english_time_names(out);
            return 1;
        }
        name = user;
    }
    te_read_names(name.c_str(), out);
    return 1;
}
