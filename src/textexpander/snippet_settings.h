// A snippet's own settings, kept in the snippet object as one member
// "settings", an object of up to three members in this order:
// "propagate_case" and "word_triggers" (true or false: this snippet's
// answer to the setting of that name for all snippets) and "locale" (the
// month and day names of its dates, e.g. "de_DE"). A setting left out
// follows the settings for all snippets; a snippet with none has no
// "settings" member at all, so a store without them is written as before,
// and a library that knows no settings reads the snippet and leaves the
// member out.
#ifndef TE_SNIPPET_SETTINGS_H
#define TE_SNIPPET_SETTINGS_H

#include <yyjson.h>

#include "engine.h"

// How a snippet object's settings are taken: from an edit or an import,
// where an unknown setting or value is refused; or from the store file,
// where what this library does not know is passed over (a newer one may
// have written it).
enum te_settings_check { TE_SETTINGS_REFUSE_UNKNOWN, TE_SETTINGS_SKIP_UNKNOWN };

// The three settings as TeSnippet keeps them.
struct te_snippet_settings {
    signed char propagate_case;
    signed char word_triggers;
    char locale[TE_LOCALE_CAP];
};

// Reads the "settings" member of a snippet object into *out (none set when
// it is absent). 1 when taken; 0 with the reason in the last-error text
// when refused.
int te_settings_parse(yyjson_val* snippet, te_settings_check check, te_snippet_settings* out);
void te_settings_copy(TeSnippet* record, const te_snippet_settings& settings);

// The "settings" member's value for `s`, or null when it has none (or the
// document is out of memory: *failed is then set).
yyjson_mut_val* te_settings_to_json(yyjson_mut_doc* doc, const TeSnippet* s, int* failed);

// 1 when `name` names a locale whose month and day names this system knows
// ("" the user's, always). Otherwise 0 with "unknown locale: <name>" (or
// the locale's length) in the last-error text.
int te_locale_check(const char* name);

#endif
