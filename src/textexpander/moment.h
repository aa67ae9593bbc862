// A local date and time of day, and the calendar arithmetic of offsets
// such as "+14d" or "+1m".
#ifndef TE_MOMENT_H
#define TE_MOMENT_H

#include <ctime>

struct te_moment {
    long long year;
    int month;  // 1 to 12
    int day;    // 1 to 31
    int hour, minute, second;
    int wday;   // 0 Sunday to 6 Saturday
    int yday;   // 0 to 365
};

// The moment a clock reading (tm_year..tm_sec, as now_local fills them)
// names; the day of the week and of the year are worked out.
te_moment te_moment_of(const std::tm& t);

// Units of an offset: days, weeks, months, years, minutes, hours.
enum te_offset_unit { TE_DAYS, TE_WEEKS, TE_MONTHS, TE_YEARS, TE_MINUTES, TE_HOURS };

// `m` moved by `amount` units. A month or year offset keeps the day of the
// month where that month has it and takes the month's last day otherwise
// (31 January + 1 month is 28 or 29 February); a minute or hour offset
// carries over into the date.
te_moment te_moment_add(const te_moment& m, long amount, te_offset_unit unit);

#endif
