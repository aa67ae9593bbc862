// The placeholders of a template: what the name between '{' and '}' asks
// for. Every name that is none of these is plain text.
//
//   {date} {time} {year} {clipboard} {random6}
//   {cursor}               the caret goes here once the text is typed
//   {date:FORMAT}          the local date and time written with FORMAT
//   {time:FORMAT}          (strftime's conversions, time_format.h)
//   {date+14d} {date-1w:FORMAT}   the date moved by days (d), weeks (w),
//                          months (m) or years (y), 1 to 5 digits
//   {time+90m} {time-2h:FORMAT}   the time moved by minutes (m) or hours (h)
//   {snippet:TRIGGER}      the text of the snippet with that trigger
//
// {date+...} and {time+...} without a format are written as {date} and
// {time} are. A FORMAT may not be empty, nor hold '{'.
#ifndef TE_PLACEHOLDER_H
#define TE_PLACEHOLDER_H

#include <cstddef>

#include "moment.h"

// The longest name of any placeholder but {snippet:...}, and of that one.
const std::size_t TE_NAME_MAX = 63;
const std::size_t TE_SNIPPET_NAME_MAX = 8 + 255;

enum te_placeholder_kind {
    TE_PH_NONE,
    TE_PH_DATE,
    TE_PH_TIME,
    TE_PH_YEAR,
    TE_PH_CLIPBOARD,
    TE_PH_RANDOM,
    TE_PH_CURSOR,
    TE_PH_MOMENT,   // a date or time with an offset or a format
    TE_PH_SNIPPET,
};

struct te_placeholder {
    te_placeholder_kind kind;
    // TE_PH_MOMENT
    bool is_time;
    long amount;  // 0: no offset
    te_offset_unit unit;
    const char* format;  // null: the form of {date} or {time}
    std::size_t format_len;
    // TE_PH_SNIPPET
    const char* trigger;
    std::size_t trigger_len;
};

// What the name name[0..len) is; kind TE_PH_NONE when it is none.
te_placeholder te_placeholder_of(const char* name, std::size_t len);

#endif
