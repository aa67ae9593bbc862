#include "english_names.h"

#include <cstring>

namespace {

const char* const te_months[12] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
const char* const te_days[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

void te_abbreviate(char* field, std::size_t cap, const char* word) {
    char three[4] = {word[0], word[1], word[2], 0};
    te_time_word(field, cap, three);
}

}  // namespace

void te_time_word(char* field, std::size_t cap, const char* word) {
    std::size_t n = word ? std::strlen(word) : 0;
    if (n >= cap) n = 0;
    if (n) std::memcpy(field, word, n);
    field[n] = 0;
}

void te_english_time_names(te_time_names* out) {
    for (int i = 0; i < 12; i++) {
        te_time_word(out->month[i], sizeof out->month[i], te_months[i]);
        te_time_word(out->month_alone[i], sizeof out->month_alone[i], te_months[i]);
        te_abbreviate(out->month_abbr[i], sizeof out->month_abbr[i], te_months[i]);
    }
    for (int i = 0; i < 7; i++) {
        te_time_word(out->day[i], sizeof out->day[i], te_days[i]);
        te_abbreviate(out->day_abbr[i], sizeof out->day_abbr[i], te_days[i]);
    }
    te_time_word(out->am, sizeof out->am, "AM");
    te_time_word(out->pm, sizeof out->pm, "PM");
}
