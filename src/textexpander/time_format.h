// Writing a moment with a strftime-style format.
#ifndef TE_TIME_FORMAT_H
#define TE_TIME_FORMAT_H

#include <cstddef>

#include "moment.h"
#include "platform.h"

// Where the month and day names come from: fetched on first need, since
// most formats use none.
struct te_names_source {
    virtual const te_time_names& names() = 0;
};

// Writes `m` as the format fmt[0..fmt_len) says into out[cap] (never more,
// never part of a character) and returns the length written, without a NUL.
// The conversions are strftime's: %a %A %b %h %B %C %d %D %e %F %g %G %H %I
// %j %k %l %m %M %n %p %P %R %S %t %T %u %U %V %w %W %y %Y %%, and %OB for
// the month's name standing alone. Between '%' and the letter, '-' drops
// the padding of a number (%-d), '_' pads it with spaces, '0' with zeros,
// and '^' writes the result in capitals. Any other conversion is written as
// it stands.
std::size_t te_format_moment(const te_moment& m, const char* fmt, std::size_t fmt_len, te_names_source& names,
                             char* out, std::size_t cap);

#endif
