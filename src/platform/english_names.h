// The English calendar words, for the "C" locale and any locale a system
// does not know.
#ifndef TE_ENGLISH_NAMES_H
#define TE_ENGLISH_NAMES_H

#include "platform.h"

void te_english_time_names(te_time_names* out);

// Copies a word into a field of te_time_names; a word that does not fit is
// left out (the field becomes empty) rather than cut.
void te_time_word(char* field, std::size_t cap, const char* word);

#endif
