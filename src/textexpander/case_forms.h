// Letter case of triggers and texts: "Btw" and "BTW" typed for the trigger
// "btw" give "By the way" and "BY THE WAY" (propagate_case).
#ifndef TE_CASE_FORMS_H
#define TE_CASE_FORMS_H

#include <cstddef>

// How a trigger was typed, and so how its text is written.
enum te_case_form {
    TE_CASE_AS_IS = 0,  // as the snippet has it
    TE_CASE_FIRST = 1,  // its first letter a capital
    TE_CASE_ALL = 2,    // every letter a capital
};

// The trigger in that form into out[cap]: its first letter with case upper-
// cased (TE_CASE_FIRST) or all of them (TE_CASE_ALL). Returns the length,
// or 0 when the form is no different from the trigger (no letter to
// change) or does not fit. For TE_CASE_ALL, also 0 when the trigger has
// fewer than two letters with case: typed in capitals it is the first form.
std::size_t te_case_variant(const char* trigger, std::size_t len, te_case_form form, char* out, std::size_t cap);

// Writes text[0..len) in the form into out[cap] (never more, never part of
// a character) and returns the length written. TE_CASE_FIRST upper-cases
// the first letter that has case. *caret (a byte offset into the text, or
// beyond its end for none) is moved to the same place in the output.
std::size_t te_case_apply(const char* text, std::size_t len, te_case_form form, std::size_t* caret, char* out,
                          std::size_t cap);

// text[0..len) with every letter upper-cased or lower-cased, into out[cap];
// the length written.
std::size_t te_text_upper(const char* text, std::size_t len, char* out, std::size_t cap);
std::size_t te_text_lower(const char* text, std::size_t len, char* out, std::size_t cap);

#endif
