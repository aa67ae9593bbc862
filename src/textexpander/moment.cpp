// Dates as a count of days since 1970-01-01 in the proleptic Gregorian
// calendar (the days_from_civil and civil_from_days algorithms by Howard
// Hinnant), so that every offset is one addition.
#include "moment.h"

namespace {

long long te_floor_div(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

long long te_days_from_civil(long long y, int m, int d) {
    y -= m <= 2;
    long long era = te_floor_div(y, 400);
    long long yoe = y - era * 400;
    long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void te_civil_from_days(long long z, te_moment* m) {
    z += 719468;
    long long era = te_floor_div(z, 146097);
    long long doe = z - era * 146097;
    long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long long mp = (5 * doy + 2) / 153;
    m->day = (int)(doy - (153 * mp + 2) / 5 + 1);
    m->month = (int)(mp < 10 ? mp + 3 : mp - 9);
    m->year = yoe + era * 400 + (m->month <= 2);
}

bool te_leap(long long y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int te_month_days(long long y, int m) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && te_leap(y) ? 29 : days[m - 1];
}

// The day of the week and of the year, from the date.
void te_complete(te_moment* m) {
    long long days = te_days_from_civil(m->year, m->month, m->day);
    m->wday = (int)(te_floor_div(days + 4, 7) * -7 + days + 4);  // 1970-01-01 was a Thursday
    m->yday = (int)(days - te_days_from_civil(m->year, 1, 1));
}

te_moment te_at_days(te_moment m, long long days) {
    te_civil_from_days(days, &m);
    te_complete(&m);
    return m;
}

}  // namespace

te_moment te_moment_of(const std::tm& t) {
    te_moment m;
    m.year = (long long)t.tm_year + 1900;
    m.month = t.tm_mon >= 0 && t.tm_mon < 12 ? t.tm_mon + 1 : 1;
    m.day = t.tm_mday >= 1 && t.tm_mday <= te_month_days(m.year, m.month) ? t.tm_mday : 1;
    m.hour = t.tm_hour;
    m.minute = t.tm_min;
    m.second = t.tm_sec;
    te_complete(&m);
    return m;
}

te_moment te_moment_add(const te_moment& m, long amount, te_offset_unit unit) {
    long long days = te_days_from_civil(m.year, m.month, m.day);
    if (unit == TE_DAYS || unit == TE_WEEKS) return te_at_days(m, days + amount * (unit == TE_WEEKS ? 7LL : 1LL));
    if (unit == TE_MINUTES || unit == TE_HOURS) {
        long long seconds = m.hour * 3600LL + m.minute * 60LL + m.second + amount * (unit == TE_HOURS ? 3600LL : 60LL);
        te_moment out = te_at_days(m, days + te_floor_div(seconds, 86400));
        seconds -= te_floor_div(seconds, 86400) * 86400;
        out.hour = (int)(seconds / 3600);
        out.minute = (int)(seconds / 60 % 60);
        out.second = (int)(seconds % 60);
        return out;
    }
    long long months = m.year * 12 + (m.month - 1) + amount * (unit == TE_YEARS ? 12LL : 1LL);
    te_moment out = m;
    out.year = te_floor_div(months, 12);
    out.month = (int)(months - out.year * 12) + 1;
    int last = te_month_days(out.year, out.month);
    out.day = m.day > last ? last : m.day;
    te_complete(&out);
    return out;
}
