// Snippet objects: JSON in, TeSnippet out, and the written form back.
#ifndef TE_SNIPPET_PARSE_H
#define TE_SNIPPET_PARSE_H

#include <yyjson.h>

#include "engine.h"
#include "snippet_settings.h"

// Checks a snippet object and fills *record; its settings are taken as
// `check` says. 1 when valid; 0 with the reason in the last-error text and
// *record untouched. Lock held.
int te_parse_snippet_obj(yyjson_val* value, TeSnippet* record, te_settings_check check);

// Parses a NUL-terminated JSON text with the strict default rules.
yyjson_doc* te_json_parse(const char* text);

// Writes `root` as the document's compact text and frees the document
// either way. Null when root is null (building failed) or the writer fails;
// the caller frees the text with free().
char* te_json_write_and_free(yyjson_mut_doc* doc, yyjson_mut_val* root, std::size_t* len);

// The written form of one snippet, referring to its fields in place.
yyjson_mut_val* te_snippet_to_json(yyjson_mut_doc* doc, const TeSnippet* s);

// The whole table as {"snippets":[...]}, compact, in one allocated text
// the caller frees with free(); null when it cannot be built (`*built` 0)
// or written (`*built` 1). Lock held.
char* te_table_json_write(std::size_t* len, int* built);

#endif
